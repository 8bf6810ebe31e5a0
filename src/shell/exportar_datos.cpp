#include "shell/exportar_datos.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShortcut>
#include <algorithm>
#include <filesystem>

#include "base/os/host_path.h"
#include "data/folders.h"
#include "data/staging.h"
#include "data/transfer_context.h"
#include "data/winpath.h"
#include "export/export_run.h"
#include "import/centre_check.h"
#include "import/import_run.h"
#include "shell/command_line.h"
#include "shell/help_bridge.h"
#include "shell/host_embedding.h"
#include "shell/ini_file.h"
#include "shell/message_boxes.h"
#include "shell/progress_display.h"
#include "shell/shell_flags.h"
#include "shell/window_fonts.h"
#include "shell/window_interface.h"
#include "widgets/enter_clicks.h"
#include "widgets/guarded.h"

namespace pasarela::shell {

using pasarela::widgets::guarded;

namespace {

constexpr int kClientWidth = 599;
constexpr int kClientHeight = 308;
constexpr int kFolderPanelHeight = 181;
constexpr int kExportPanelWidth = 299;

QFont pixelFont(const QString& family, int pixels, bool bold) { return windowFont(family, pixels, bold); }

QFont arial(int pixels, bool bold = false) { return arialFont(pixels, bold); }

void setTextColor(QWidget* w, const QColor& color) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, color);
  p.setColor(QPalette::Text, color);
  p.setColor(QPalette::ButtonText, color);
  w->setPalette(p);
}

QLabel* makeLabel(QWidget* panel, const char* name, const QString& text, const QRect& bounds,
                  const QFont& font, const QColor& color, bool wrap) {
  auto* label = new QLabel(text, panel);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(bounds);
  label->setFont(font);
  label->setWordWrap(wrap);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextColor(label, color);
  return label;
}

}  // namespace

QString TExportarDatos::iniPath() const {
  const QString folder = iniFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : iniFolder_;
  return folder + QStringLiteral("/Tempolis.ini");
}

TExportarDatos::TExportarDatos(QStringList parameters, QWidget* parent, QString iniFolder)
    : QWidget(parent),
      parameters_(std::move(parameters)),
      iniFolder_(std::move(iniFolder)),
      tables_(std::make_unique<SchoolTables>()) {
  progress_ = new ProgressDisplay(this);
  ui_ = std::make_unique<WindowInterface>(*this, *progress_);
  pasarela::widgets::setErrorHandler([](const std::string& message) { showErrorBox(nullptr, message); });
  setObjectName(QStringLiteral("ExportarDatos"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Exportar e importar datos "));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, false));
  setProperty("helpContext", 1);
  buildControls();
  layoutPanels();
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, [] { showHelpContext(1); });
}

TExportarDatos::~TExportarDatos() = default;

void TExportarDatos::buildControls() {
  using pasarela::widgets::GradientPanel;
  const QColor blue(0, 0, 255), red(255, 0, 0), black(0, 0, 0);
  const QColor windowText = palette().color(QPalette::WindowText);

  Draw3D1 = new GradientPanel(this);
  Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
  Draw3D1->setColors(QColor(194, 205, 254), QColor(207, 242, 254), QColor(204, 216, 230));
  Draw3D1->setProperty("helpContext", 1);
  Draw3D2 = new GradientPanel(this);
  Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
  Draw3D2->setColors(QColor(249, 211, 125), QColor(255, 255, 255), QColor(255, 238, 221));
  Draw3D2->setProperty("helpContext", 1);
  Draw3D3 = new GradientPanel(this);
  Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
  Draw3D3->setColors(QColor(249, 211, 125), QColor(255, 255, 255), QColor(255, 238, 221));

  // The folder panel.
  Label1 = makeLabel(Draw3D1, "Label1", QStringLiteral("Carpeta en la que se encuentran los datos de OB"),
                     QRect(15, 7, 238, 14), arial(11), blue, false);
  EdNuevoDir = new QLineEdit(Draw3D1);
  EdNuevoDir->setObjectName(QStringLiteral("EdNuevoDir"));
  EdNuevoDir->setGeometry(15, 23, 220, 22);
  EdNuevoDir->setFont(arial(11, true));
  // It shows the folder in use; the folder is chosen in the list below.
  EdNuevoDir->setReadOnly(true);
  setTextColor(EdNuevoDir, black);

  ListaDirectorios = new pasarela::widgets::FolderList(Draw3D1);
  ListaDirectorios->setObjectName(QStringLiteral("ListaDirectorios"));
  ListaDirectorios->setGeometry(14, 48, 220, 105);
  ListaDirectorios->setFont(arial(11, true));
  ListaDirectorios->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; }"));
  setTextColor(ListaDirectorios, black);

  ListaUnidades = new pasarela::widgets::DriveList(Draw3D1);
  ListaUnidades->setObjectName(QStringLiteral("ListaUnidades"));
  ListaUnidades->setGeometry(12, 157, 222, 20);
  ListaUnidades->setFont(arial(11, true));

  Label2 = makeLabel(Draw3D1, "Label2", QStringLiteral("Código del centro"), QRect(303, 10, 84, 14),
                     arial(11), blue, false);
  // These two labels size themselves to their text.
  for (QLabel* l : {Label1, Label2})
    l->resize(std::max(l->width(), QFontMetrics(l->font()).horizontalAdvance(l->text()) + 4), l->height());
  CBCentro = new QComboBox(Draw3D1);
  CBCentro->setObjectName(QStringLiteral("CBCentro"));
  CBCentro->setEditable(false);
  CBCentro->setGeometry(304, 32, 145, 21);

  BClose = new QPushButton(QStringLiteral("&Salir"), Draw3D1);
  BClose->setObjectName(QStringLiteral("BClose"));
  BClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  BClose->setGeometry(304, 72, 89, 25);
  Button1 = new QPushButton(QStringLiteral("F1 AYUDA"), Draw3D1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(312, 118, 75, 21);
  Label7 = makeLabel(Draw3D1, "Label7", QStringLiteral("     -    "), QRect(312, 155, 281, 14),
                     arial(11, true), red, true);

  // The export panel.
  Label8 = makeLabel(Draw3D2, "Label8",
                     QStringLiteral("UTILIDAD TRANSFERENCIA DE DATOS                ORBENTA<->TEMPOLIS"),
                     QRect(23, 3, 257, 34), arial(13, true), blue, true);
  Label3 = makeLabel(
      Draw3D2, "Label3",
      QStringLiteral("Exportar datos desde OB hacia Tempolis (Generador de horarios y organizador de "
                     "grupos)"),
      QRect(2, 34, 296, 36), arial(12, true), windowText, true);
  Label9 = makeLabel(Draw3D2, "Label9", QStringLiteral("Recoger Textos Asignaturas en:"),
                     QRect(6, 71, 183, 13), pixelFont(QStringLiteral("MS Sans Serif"), 11, true), red, true);
  ComboBoxValCast = new QComboBox(Draw3D2);
  ComboBoxValCast->setObjectName(QStringLiteral("ComboBoxValCast"));
  ComboBoxValCast->setEditable(true);
  ComboBoxValCast->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxValCast->addItems({QStringLiteral("VALENCIÁ"), QStringLiteral("CASTELLANO")});
  ComboBoxValCast->setEditText(QStringLiteral("VALENCIÁ"));
  ComboBoxValCast->setGeometry(193, 66, 93, 21);
  ComboBoxValCast->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, true));
  {
    QPalette p = ComboBoxValCast->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    ComboBoxValCast->setPalette(p);
  }
  BExportar = new QPushButton(QStringLiteral("Aceptar"), Draw3D2);
  BExportar->setObjectName(QStringLiteral("BExportar"));
  BExportar->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  BExportar->setGeometry(71, 90, 89, 25);

  // The import panel.
  Label4 = makeLabel(Draw3D3, "Label4", QStringLiteral("Importar datos desde Tempolis (hacia OB)"),
                     QRect(6, 0, 281, 25), arial(13, true), windowText, true);
  Label5 = makeLabel(
      Draw3D3, "Label5",
      QStringLiteral("ATENCIÓN. Debería efectuar una copia de seguridad de los datos de OB, antes de "
                     "lanzar este proceso."),
      QRect(9, 17, 275, 48), arial(12, true), red, true);
  BImportar = new QPushButton(QStringLiteral("Aceptar"), Draw3D3);
  BImportar->setObjectName(QStringLiteral("BImportar"));
  BImportar->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  BImportar->setGeometry(92, 57, 89, 25);
  Label6 = makeLabel(
      Draw3D3, "Label6",
      QStringLiteral("ATENCIÓN. Es necesario reorganizar los archivos de OB después de efectuar este "
                     "proceso."),
      QRect(9, 86, 281, 65), arial(12, true), red, true);
  // The buttons stay above the labels that overlap them.
  BImportar->raise();

  for (QWidget* w : std::initializer_list<QWidget*>{EdNuevoDir, ListaDirectorios, ListaUnidades, CBCentro,
                                                    BClose, Button1, ComboBoxValCast, BExportar, BImportar})
    w->setProperty("helpContext", 1);
  for (QPushButton* b : {BClose, Button1, BExportar, BImportar}) {
    b->setAutoDefault(false);
    pasarela::widgets::clickOnEnter(b);
  }

  setTabOrder(EdNuevoDir, ListaDirectorios);
  setTabOrder(ListaDirectorios, ListaUnidades);
  setTabOrder(ListaUnidades, CBCentro);
  setTabOrder(CBCentro, BClose);
  setTabOrder(BClose, Button1);
  setTabOrder(Button1, BExportar);
  setTabOrder(BExportar, ComboBoxValCast);
  setTabOrder(ComboBoxValCast, BImportar);
  EdNuevoDir->setFocus();
  progress_->raise();

  guarded(
      [this] { ListaDirectorios->setInitialDirectory(winpath::fromHost(std::filesystem::current_path())); });
  ListaUnidades->setFolderList(ListaDirectorios);

  connect(ListaDirectorios, &pasarela::widgets::FolderList::directoryChanged, this,
          [this] { lastChangeFailed_ = !guarded([this] { ListaDirectoriosChange(); }); });
  connect(BClose, &QPushButton::clicked, this, &QWidget::close);
  connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
  connect(BExportar, &QPushButton::clicked, this, [this] { guarded([this] { BExportarClick(); }); });
  connect(BImportar, &QPushButton::clicked, this, [this] { guarded([this] { BImportarClick(); }); });
}

// The folder panel keeps the bottom; the export panel fills what is left of
// the upper area, the import panel keeps the right unless one of them was
// chosen to fill the upper area alone.
void TExportarDatos::layoutPanels() {
  const int upper = height() - kFolderPanelHeight;
  Draw3D1->setGeometry(0, upper, width(), kFolderPanelHeight);
  if (exportFills_) {
    Draw3D2->setGeometry(0, 0, width(), upper);
  } else if (importFills_) {
    Draw3D3->setGeometry(0, 0, width(), upper);
  } else {
    Draw3D3->setGeometry(kExportPanelWidth, 0, width() - kExportPanelWidth, upper);
    Draw3D2->setGeometry(0, 0, kExportPanelWidth, upper);
  }
}

void TExportarDatos::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutPanels();
}

void TExportarDatos::FormCreate() {
  guarded([this] {
    formCreateFirstHalf();
    formCreateSecondHalf();
  });
}

void TExportarDatos::formCreateFirstHalf() {
  Transformado = 0;
  if (parameters_.size() != 2) return;
  hostHandle_ = parseHostHandle(parameters_[1].toStdString());
  embeddedInHost_ = embedInHost(*this, hostHandle_);
  NumParametros = 2;
  const std::string direction = lowerAsciiLetters(parameters_[0].toStdString());
  if (direction == "importar") {
    Draw3D2->hide();
    importFills_ = true;
  }
  if (direction == "exportar") {
    Draw3D3->hide();
    exportFills_ = true;
  }
  layoutPanels();
}

void TExportarDatos::formCreateSecondHalf() {
  CopiarDatosOrigen(*tables_, ListaDirectorios->directory());
  lastChangeFailed_ = false;
  ListaDirectorios->setDirectory(kDefaultSourceFolder);
  if (lastChangeFailed_) return;  // the staging error has been shown
  EdNuevoDir->setText(QString::fromStdString(ListaDirectorios->directory()));
  fillCentreList();
}

// Codes in physical order, as text, duplicates kept; the code chosen before
// stays chosen when the new list has it, else the first one is.
void TExportarDatos::fillCentreList(const QString& chosen) {
  CBCentro->clear();
  Table& centro = tables_->wwTableCentro;
  try {
    centro.open();
    for (centro.first(); !centro.eof(); centro.next())
      CBCentro->addItem(QString::fromStdString(centro.asString("Codcen")));
    const int again = chosen.isEmpty() ? -1 : CBCentro->findText(chosen);
    if (CBCentro->count() > 0) CBCentro->setCurrentIndex(again >= 0 ? again : 0);
    centro.close();
  } catch (...) {
    CBCentro->clear();
    centro.close();  // an exclusive table left open would block the next staging
    throw;
  }
}

// Every staging reads the centres again: the list offers only the centres of
// the folder in use, and none after a failed staging (the import refuses to
// run without one).
void TExportarDatos::ListaDirectoriosChange() {
  EdNuevoDir->setText(QString::fromStdString(ListaDirectorios->directory()));
  const QString chosen = CBCentro->currentText();
  CBCentro->clear();
  ui_->runSteps(1);
  try {
    ui_->progress("Copiando los datos de OB de " + ListaDirectorios->directory());
    CopiarDatosOrigen(*tables_, ListaDirectorios->directory());
  } catch (...) {
    ui_->runSteps(0);
    throw;
  }
  ui_->runSteps(0);
  fillCentreList(chosen);
}

void TExportarDatos::runTransfer(bool exportRun) {
  TransferContext ctx{*tables_, *ui_, ListaDirectorios->directory(), CBCentro->currentText().toStdString(),
                      ComboBoxValCast->currentText().toStdString()};
  ctx.numParametros = NumParametros;
  ctx.transformado = Transformado;
  ImportReport report;
  running_ = true;
  activeRun_ = &ctx;
  // The export's seven procedures; the import's staging, transfer and copy back.
  ui_->runSteps(exportRun ? 7 : 3);
  if (!exportRun) ui_->setImportReport(&report, ctx.sourceFolder);
  const auto done = [this, &ctx] {
    Transformado = ctx.transformado;
    activeRun_ = nullptr;
    running_ = false;
    ui_->setImportReport(nullptr, {});
    ui_->runSteps(0);
  };
  try {
    if (exportRun) {
      pasarela::BExportarClick(ctx);
    } else {
      ImportOptions options;
      options.report = &report;
      pasarela::BImportarClick(ctx, options);
    }
  } catch (...) {
    done();
    ui_->normalCursor();  // a failed run gives the normal cursor back
    throw;
  }
  done();
  if (report.outcome == ImportReport::Outcome::Cancelled && NumParametros != 2)
    showNotice(this, QStringLiteral("Importación cancelada: no se ha modificado ningún archivo de %1")
                         .arg(QString::fromStdString(ctx.sourceFolder)));
}

void TExportarDatos::BExportarClick() { runTransfer(true); }

// Without a centre the template has no times and every row would carry an
// empty centre code: refused before anything is asked or touched.
void TExportarDatos::BImportarClick() {
  checkCentre(*tables_, CBCentro->currentText().toStdString());
  runTransfer(false);
}

void TExportarDatos::Button1Click() { showHelpContents(); }

void TExportarDatos::FormClose() {
  // A run that closes the window hands its result over first.
  if (activeRun_) Transformado = activeRun_->transformado;
  if (NumParametros != 2) return;
  const QString path = iniPath();
  const std::filesystem::path host = os::hostPath(path.toStdString());
  writeIniValue(host, winpath::fromHost(host), "Transformadores", "Transformado",
                std::to_string(Transformado));
}

void TExportarDatos::closeEvent(QCloseEvent* event) {
  if (running_ && event->spontaneous()) {
    event->ignore();  // the title bar's close waits for the run; the run may close it itself
    return;
  }
  if (!guarded([this] { FormClose(); })) {
    event->ignore();  // the flag could not be handed over: stay open
    return;
  }
  event->accept();
  emit closed();
}

}  // namespace pasarela::shell
