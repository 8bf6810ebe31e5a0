// Start-up: the command line decides the mode, the panels and the handle;
// the second half stages, moves to C:\OB and fills the centre list.
#include "data/table.h"
#include "shell_test_support.h"

using pasarela::shell::TExportarDatos;
using shelltest::ShellTest;

namespace {

class Startup : public ShellTest {
 protected:
  std::unique_ptr<TExportarDatos> start(const QStringList& parameters) {
    return startedWindow(parameters);
  }

  static bool frameless(const TExportarDatos& w) { return w.windowFlags().testFlag(Qt::FramelessWindowHint); }

  void expectDesignedPanels(const TExportarDatos& w) {
    EXPECT_FALSE(w.Draw3D2->isHidden());
    EXPECT_FALSE(w.Draw3D3->isHidden());
    EXPECT_EQ(w.Draw3D2->geometry(), QRect(0, 0, 299, 127));
    EXPECT_EQ(w.Draw3D3->geometry(), QRect(299, 0, 300, 127));
    EXPECT_EQ(w.Draw3D1->geometry(), QRect(0, 127, 599, 181));
  }

  void writeCentro(const std::vector<int>& codes) {
    pasarela::Table t;
    t.setTableName("C:\\OB\\centro.dbf");
    t.createTable({{"CODCEN", pasarela::FieldKind::Integer, 0}, {"NOMBRE", pasarela::FieldKind::String, 30}});
    t.open();
    for (int code : codes) {
      t.append();
      t.setInteger("CODCEN", code);
      t.setString("NOMBRE", "IES " + std::to_string(code));
      t.post();
    }
    t.close();
  }
};

}  // namespace

TEST_F(Startup, UpperCaseImportarEmbedsWithTheImportPanelAlone) {
  auto w = start({"IMPORTAR", "1A2B"});
  EXPECT_EQ(pasarela::NumParametros, 2);
  EXPECT_EQ(w->hostHandle(), 0x1A2Bu);
  EXPECT_TRUE(w->Draw3D2->isHidden());
  EXPECT_FALSE(w->Draw3D3->isHidden());
  EXPECT_EQ(w->Draw3D3->geometry(), QRect(0, 0, 599, 127));
  EXPECT_TRUE(frameless(*w));
  EXPECT_EQ(w->pos(), QPoint(2, 2));
}

TEST_F(Startup, HandleIsReadAsHexadecimalAndExportarKeepsTheExportPanel) {
  auto w = start({"exportar", "10"});
  EXPECT_EQ(w->hostHandle(), 16u);
  EXPECT_EQ(pasarela::NumParametros, 2);
  EXPECT_TRUE(w->Draw3D3->isHidden());
  EXPECT_EQ(w->Draw3D2->geometry(), QRect(0, 0, 599, 127));
  // The export panel's controls keep their places inside it.
  EXPECT_EQ(w->BExportar->geometry(), QRect(71, 90, 89, 25));
}

TEST_F(Startup, AnotherDirectionIsEmbeddedWithBothPanels) {
  auto w = start({"otra", "1A2B"});
  EXPECT_EQ(pasarela::NumParametros, 2);
  EXPECT_TRUE(frameless(*w));
  expectDesignedPanels(*w);
}

TEST_F(Startup, OneOrThreeParametersAreStandAlone) {
  for (const QStringList& parameters :
       {QStringList{"importar"}, QStringList{"importar", "1A2B", "x"}, QStringList{}}) {
    pasarela::NumParametros = 0;
    auto w = start(parameters);
    EXPECT_EQ(pasarela::NumParametros, 0);
    EXPECT_FALSE(frameless(*w));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Exportar e importar datos "));
    EXPECT_EQ(w->size(), QSize(599, 308));
    expectDesignedPanels(*w);
    w->close();
    EXPECT_FALSE(std::filesystem::exists(iniFile())) << parameters.join(' ').toStdString();
  }
}

TEST_F(Startup, HandleZeroIsATopLevelBorderlessWindowThatHandsTheFlagBack) {
  auto w = start({"importar", "0"});
  EXPECT_EQ(pasarela::NumParametros, 2);
  EXPECT_EQ(w->hostHandle(), 0u);
  EXPECT_FALSE(w->embeddedInHost());
  EXPECT_EQ(w->parentWidget(), nullptr);
  EXPECT_TRUE(frameless(*w));
  EXPECT_EQ(w->pos(), QPoint(2, 2));
  EXPECT_TRUE(w->close());
  EXPECT_EQ(shelltest::readFile(iniFile()), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST_F(Startup, ABadHandleIsReportedAndTheRestOfCreationSkipped) {
  writeCentro({101});
  auto w = start({"importar", "1G"});
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0], QStringLiteral("'$1G' no es un valor entero válido."));
  EXPECT_EQ(pasarela::NumParametros, 0);
  EXPECT_FALSE(frameless(*w));
  expectDesignedPanels(*w);
  EXPECT_TRUE(w->EdNuevoDir->text().isEmpty());
  EXPECT_EQ(w->CBCentro->count(), 0);
  w->close();
  EXPECT_FALSE(std::filesystem::exists(iniFile()));
}

TEST_F(Startup, CentreListHoldsTheCodesInPhysicalOrderWithDuplicates) {
  writeCentro({101, 102, 101});
  auto w = start({});
  EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
  EXPECT_EQ(w->EdNuevoDir->text(), QStringLiteral("C:\\OB"));
  EXPECT_EQ(w->ListaDirectorios->directory(), "C:\\OB");
  ASSERT_EQ(w->CBCentro->count(), 3);
  EXPECT_EQ(w->CBCentro->itemText(0), QStringLiteral("101"));
  EXPECT_EQ(w->CBCentro->itemText(1), QStringLiteral("102"));
  EXPECT_EQ(w->CBCentro->itemText(2), QStringLiteral("101"));
  EXPECT_EQ(w->CBCentro->currentIndex(), 0);
  // The staged copy is what was read.
  EXPECT_TRUE(std::filesystem::exists(driveC_ / "KTEMP" / "VAVOVIDI" / "centro.dbf"));
}

TEST_F(Startup, AMissingDefaultFolderLeavesTheFieldAndTheCentreListEmpty) {
  std::filesystem::remove_all(driveC_ / "OB");
  auto w = start({});
  ASSERT_FALSE(errors().empty());
  EXPECT_TRUE(w->EdNuevoDir->text().isEmpty());
  EXPECT_EQ(w->CBCentro->count(), 0);
  EXPECT_EQ(w->ListaDirectorios->directory(), "C:\\");  // the start folder stays
}

TEST_F(Startup, ControlsCarryTheirTextsAndTabOrder) {
  auto w = start({});
  EXPECT_EQ(w->Label7->text(), QStringLiteral("     -    "));
  EXPECT_EQ(w->Label8->text(),
            QStringLiteral("UTILIDAD TRANSFERENCIA DE DATOS                ORBENTA<->TEMPOLIS"));
  EXPECT_EQ(w->BClose->text(), QStringLiteral("&Salir"));
  EXPECT_EQ(w->Button1->text(), QStringLiteral("F1 AYUDA"));
  EXPECT_EQ(w->ComboBoxValCast->currentText(), QStringLiteral("VALENCIÁ"));
  EXPECT_EQ(w->ComboBoxValCast->count(), 2);
  EXPECT_EQ(w->ComboBoxValCast->itemText(1), QStringLiteral("CASTELLANO"));
  EXPECT_FALSE(w->CBCentro->isEditable());
  EXPECT_TRUE(w->ComboBoxValCast->isEditable());
  EXPECT_EQ(w->ListaDirectorios->geometry(), QRect(14, 48, 220, 105));
  EXPECT_EQ(w->Label5->font().pixelSize(), 12);
  EXPECT_TRUE(w->Label5->font().bold());
  EXPECT_EQ(w->Label5->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(w->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));

  const std::vector<QWidget*> order{w->EdNuevoDir, w->ListaDirectorios, w->ListaUnidades,
                                    w->CBCentro,   w->BClose,           w->Button1,
                                    w->BExportar,  w->ComboBoxValCast,  w->BImportar};
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (next && ((next->focusPolicy() & Qt::TabFocus) == 0 || order[i]->isAncestorOf(next)))
      next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i + 1]) << order[i]->objectName().toStdString();
  }
  for (QWidget* c : order) EXPECT_EQ(c->property("helpContext").toInt(), 1) << c->objectName().toStdString();
}
