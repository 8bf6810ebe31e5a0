#include "shell/control_profesores.h"

#include <QLabel>
#include <QShortcut>

#include "widgets/guarded.h"

namespace pasarela::shell {

namespace {

std::unique_ptr<Table> teacherTable() {
  auto table = std::make_unique<Table>("wwTableProft");
  table->setDatabaseName("C:\\KTEMP");
  table->setTableName("proft.dbf");
  table->setExclusive(false);
  return table;
}

CheckWindowLayout teacherLayout() {
  CheckWindowLayout l;
  l.caption = QStringLiteral("Control de Profesores");
  l.clientSize = QSize(726, 499);
  l.gridName = QStringLiteral("ProftDBGrid");
  l.navigatorBounds = QRect(8, 8, 260, 25);
  l.gridBounds = QRect(8, 40, 504, 433);
  l.headingBounds = QRect(522, 40, 196, 34);
  l.titleBounds = QRect(522, 90, 196, 22);
  l.textBounds = QRect(522, 122, 196, 200);
  l.buttonBounds = QRect(572, 420, 97, 30);
  l.heading = QStringLiteral("CONTROL DEL D.N.I DE LOS PROFESORES");
  l.title = QStringLiteral("INCIDENCIAS EN EL TRASPASO");
  l.text = QStringLiteral(
      "Se ha detectado que existe algún Profesor sin D.N.I. Para poder realizar correctamente la integración "
      "del "
      "Horario en ORBENTA, deberán asignarlo en esta rejilla. Los Profesores deberán estar creados "
      "previamente en "
      "ORBENTA, con los mismos D.N.I's.");
  return l;
}

}  // namespace

TControlProfesores::TControlProfesores(QWidget* owner)
    : CheckWindow(owner, teacherTable(),
                  {{"DNI", QStringLiteral("DNI"), 10, true},
                   {"ABREV", QStringLiteral("ABREV"), 4, true},
                   {"NOMBRE", QStringLiteral("NOMBRE"), 40, true},
                   {"DEPART", QStringLiteral("DEPARTAMENTO"), 40, true}},
                  teacherLayout()) {
  setObjectName(QStringLiteral("ControlProfesores"));
  // DNI is the first column: empty or 0 is a teacher without a number.
  model()->setAttention([](const std::vector<QString>& row) {
    const QString dni = row.at(0).trimmed();
    return dni.isEmpty() || dni == QStringLiteral("0");
  });
  auto* note = new QLabel(
      QStringLiteral("Los Profesores sin D.N.I. se muestran en rojo. Pulse F3 para ir al siguiente."), this);
  note->setObjectName(QStringLiteral("NotaSinDni"));
  note->setWordWrap(true);
  note->setGeometry(522, 330, 196, 60);
  auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(next, &QShortcut::activated, this,
          [this] { pasarela::widgets::guarded([this] { nextWithoutDni(); }); });
}

// From the row after the current one round to it: the next teacher the
// window asks a number for.
bool TControlProfesores::nextWithoutDni() {
  auto* m = model();
  const int rows = m->rowCount();
  for (int step = 1; step <= rows; ++step) {
    const int row = (m->currentRow() + step) % rows;
    if (!m->needsAttention(row)) continue;
    grid()->setCurrentIndex(m->index(row, 0));
    grid()->scrollTo(m->index(row, 0));
    return true;
  }
  return false;
}

}  // namespace pasarela::shell
