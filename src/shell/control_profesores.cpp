#include "shell/control_profesores.h"

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
  l.textBounds = QRect(522, 122, 196, 250);
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
}

}  // namespace pasarela::shell
