#include "shell/control_plantilla.h"

#include <QRegularExpression>

#include "base/error.h"

namespace pasarela::shell {

namespace {

// A slot time is empty or a 24-hour HH:MM; anything else would reach the
// school's timetable as it was typed.
void checkSlotTime(const QString& text) {
  static const QRegularExpression time(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty() || time.match(trimmed).hasMatch()) return;
  throw Error(
      "'" + text.toStdString() +
      "' no es una hora válida: escriba la hora como HH:MM, de 00:00 a 23:59, o deje la casilla vacía");
}

std::unique_ptr<Table> templateTable() {
  auto table = std::make_unique<Table>("wwTablePlantilla");
  table->setDatabaseName("C:\\KTEMP\\Vavovidi");
  table->setTableName("plantilla");
  table->setExclusive(false);
  return table;
}

CheckWindowLayout templateLayout() {
  CheckWindowLayout l;
  l.caption = QStringLiteral("Control de Plantilla Horaria");
  l.clientSize = QSize(726, 463);
  l.gridName = QStringLiteral("PlantiHorDBGrid");
  l.navigatorBounds = QRect(30, 18, 260, 25);
  l.gridBounds = QRect(30, 50, 330, 385);
  l.headingBounds = QRect(392, 50, 320, 34);
  l.titleBounds = QRect(392, 96, 320, 22);
  l.textBounds = QRect(392, 128, 320, 200);
  l.buttonBounds = QRect(392, 405, 97, 30);
  l.heading = QStringLiteral("COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO");
  l.title = QStringLiteral("PLANTILLA HORARIA DEL CENTRO");
  l.text = QStringLiteral(
      "Se ha recogido la siguiente Plantilla Horaria desde ORBENTA. Compruébela y modifique, en caso "
      "necesario, las "
      "Horas de Inicio y Final de Clase, en la presente rejilla. Deben ser iguales que la Plantilla Horaria "
      "que estén "
      "utilizando en ORBENTA. Una vez adaptada la Rejilla Horaria, Pulse sobre el Botón Salir.");
  return l;
}

}  // namespace

TControlPlantilla::TControlPlantilla(QWidget* owner)
    : CheckWindow(owner, templateTable(),
                  {{"HORA", QStringLiteral("HORA"), 7, false},
                   {"HORAINI", QStringLiteral("HORA INICIO CLASE"), 20, true, checkSlotTime},
                   {"HORAFIN", QStringLiteral("HORA FINAL CLASE"), 19, true, checkSlotTime}},
                  templateLayout()) {
  setObjectName(QStringLiteral("ControlPlantilla"));
}

}  // namespace pasarela::shell
