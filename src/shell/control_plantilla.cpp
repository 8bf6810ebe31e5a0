#include "shell/control_plantilla.h"

namespace pasarela::shell {

namespace {

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
                   {"HORAINI", QStringLiteral("HORA INICIO CLASE"), 20, true},
                   {"HORAFIN", QStringLiteral("HORA FINAL CLASE"), 19, true}},
                  templateLayout()) {
  setObjectName(QStringLiteral("ControlPlantilla"));
}

}  // namespace pasarela::shell
