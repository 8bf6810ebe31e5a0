// TExportarDatos, the main window: the export panel, the import panel and
// the folder panel with the source folder, the centre list, help and exit.
// It owns the table components of the school's tables and all shell state.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "data/school_tables.h"
#include "data/transfer_context.h"
#include "data/user_interface.h"
#include "widgets/folder_list.h"
#include "widgets/gradient_panel.h"

namespace pasarela::shell {

class ProgressDisplay;
class WindowInterface;

class TExportarDatos : public QWidget {
  Q_OBJECT
 public:
  // `parameters`: the command line without the program's name.
  // `iniFolder`: the folder of Tempolis.ini when it is not the executable's.
  explicit TExportarDatos(QStringList parameters, QWidget* parent = nullptr, QString iniFolder = {});
  ~TExportarDatos() override;

  // Creation hook: command line and embedding, then staging, the default
  // source folder and the centre list. Errors end it and are shown.
  void FormCreate();
  // Close hook: writes Transformado to Tempolis.ini in embedded mode.
  // Throws pasarela::Error when the file cannot be written.
  void FormClose();

  void ListaDirectoriosChange();
  void BExportarClick();
  void BImportarClick();
  void Button1Click();

  // Where Tempolis.ini is written: the folder given at construction, else
  // beside the executable.
  QString iniPath() const;

  std::uint32_t hostHandle() const { return hostHandle_; }
  bool embeddedInHost() const { return embeddedInHost_; }
  SchoolTables& tables() { return *tables_; }
  ProgressDisplay* progressDisplay() const { return progress_; }

  pasarela::widgets::GradientPanel* Draw3D1 = nullptr;
  pasarela::widgets::GradientPanel* Draw3D2 = nullptr;
  pasarela::widgets::GradientPanel* Draw3D3 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* EdNuevoDir = nullptr;
  pasarela::widgets::FolderList* ListaDirectorios = nullptr;
  pasarela::widgets::DriveList* ListaUnidades = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* CBCentro = nullptr;
  QPushButton* BClose = nullptr;
  QPushButton* Button1 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label9 = nullptr;
  QComboBox* ComboBoxValCast = nullptr;
  QPushButton* BExportar = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QPushButton* BImportar = nullptr;
  QLabel* Label6 = nullptr;

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildControls();
  void layoutPanels();
  void formCreateFirstHalf();
  void formCreateSecondHalf();
  // Keeps `chosen` chosen when the staged centro table still has it.
  void fillCentreList(const QString& chosen = {});
  void runTransfer(bool exportRun);

  QStringList parameters_;
  QString iniFolder_;
  std::unique_ptr<SchoolTables> tables_;
  std::unique_ptr<WindowInterface> ui_;
  ProgressDisplay* progress_ = nullptr;
  bool running_ = false;
  TransferContext* activeRun_ = nullptr;  // the run in progress, whose result the close hook writes
  std::uint32_t hostHandle_ = 0;
  bool embeddedInHost_ = false;
  bool exportFills_ = false;
  bool importFills_ = false;
  bool lastChangeFailed_ = false;
};

}  // namespace pasarela::shell
