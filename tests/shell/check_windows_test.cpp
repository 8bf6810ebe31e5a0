// The two check windows of the import: layout, the grid bound to the
// window's own table object, edits posted on row change, on leaving the
// grid and on closing, Enter moving like Tab, no rows added or removed.
#include <QHeaderView>
#include <QTest>

#include "data/table.h"
#include "modal_answerer.h"
#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell_test_support.h"
#include "support/proft_writer.h"
#include "widgets/navigator.h"
#ifdef PASARELA_HAVE_SAMPLE_CHM
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include "shell/help/chm_viewer_window.h"
#include "shell/help/help_system.h"
#endif

using pasarela::FieldKind;
using pasarela::Table;
using pasarela::shell::TControlPlantilla;
using pasarela::shell::TControlProfesores;
using pasarela::widgets::Navigator;
using shelltest::ShellTest;

namespace {

struct Teacher {
  std::string abrev;
  std::int64_t dni;
};

class CheckWindows : public ShellTest {
 protected:
  static void writeTeachers(const std::vector<Teacher>& teachers) {
    std::vector<pasarela::test::ProftRow> rows;
    for (const Teacher& teacher : teachers) {
      rows.push_back({teacher.abrev, "Profesor " + teacher.abrev, "Ciencias",
                      teacher.dni ? std::optional<std::int64_t>(teacher.dni) : std::nullopt});
    }
    pasarela::test::writeProft(rows);
  }

  void writeTemplate() {
    Table t;
    t.setDatabaseName("C:\\KTEMP\\Vavovidi");
    t.setTableName("PLANTILLA.DBF");
    t.createTable({{"HORA", FieldKind::Integer, 0},
                   {"HORAINI", FieldKind::String, 5},
                   {"HORAFIN", FieldKind::String, 5}},
                  {"HORA"});
    t.open();
    for (int n = 1; n <= 20; ++n) {
      t.append();
      t.setInteger("HORA", n);
      t.setString("HORAINI", n == 1 ? "08:00" : "");
      t.setString("HORAFIN", n == 1 ? "08:55" : "");
      t.post();
    }
    t.close();
  }

  static std::vector<std::int64_t> dnisOnDisk() {
    Table t;
    t.setTableName("C:\\KTEMP\\PROFT.DBF");
    t.open();
    std::vector<std::int64_t> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.asInteger("DNI"));
    t.close();
    return out;
  }

  static void activate(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
};

}  // namespace

TEST_F(CheckWindows, TeacherWindowLayout) {
  writeTeachers({{"AB", 111}, {"CD", 333}});
  TControlProfesores w(nullptr);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Control de Profesores"));
  EXPECT_EQ(w.size(), QSize(726, 499));
  EXPECT_EQ(w.pos(), QPoint(24, 25));
  EXPECT_EQ(w.grid()->objectName(), QStringLiteral("ProftDBGrid"));
  EXPECT_EQ(w.grid()->size(), QSize(504, 433));
  auto* m = w.model();
  ASSERT_EQ(m->columnCount(), 4);
  const char* titles[] = {"DNI", "ABREV", "NOMBRE", "DEPARTAMENTO"};
  const int widths[] = {10, 4, 40, 40};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(titles[c]));
    EXPECT_EQ(m->column(c).widthChars, widths[c]);
    EXPECT_TRUE(m->flags(m->index(0, c)) & Qt::ItemIsEditable);
  }
  ASSERT_EQ(m->rowCount(), 2);
  EXPECT_EQ(m->data(m->index(0, 0)).toString(), QStringLiteral("111"));
  EXPECT_EQ(m->data(m->index(1, 1)).toString(), QStringLiteral("CD"));
  EXPECT_EQ(m->data(m->index(0, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(0xF0, 0xFB, 0xFF));
  EXPECT_EQ(m->data(m->index(1, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(0xCF, 0xD9, 0xFE));
  EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
            QColor(0xFE, 0xE4, 0xA9));
  EXPECT_EQ(w.grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(w.grid()->verticalHeader()->isVisible());
  EXPECT_EQ(w.textLabel()->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_EQ(w.titleLabel()->text(), QStringLiteral("INCIDENCIAS EN EL TRASPASO"));
  EXPECT_TRUE(w.titleLabel()->font().underline());
  EXPECT_EQ(w.salir()->text(), QStringLiteral("Salir"));

  const char* hints[] = {"Move to first record",
                         "Move backward 10 records",
                         "Move to prior record",
                         "Move to next record",
                         "Move forward 10 records",
                         "Move to last record",
                         "Edit current record",
                         "Post changes of current record",
                         "Cancel changes made to current record",
                         "Refresh the contents of the dataset"};
  const auto buttons = w.navigator()->findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(buttons[i]->toolTip(), QString::fromLatin1(hints[i]));
}

TEST_F(CheckWindows, TemplateWindowLayout) {
  writeTemplate();
  TControlPlantilla w(nullptr);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Control de Plantilla Horaria"));
  EXPECT_EQ(w.size(), QSize(726, 463));
  EXPECT_EQ(w.grid()->objectName(), QStringLiteral("PlantiHorDBGrid"));
  EXPECT_EQ(w.grid()->size(), QSize(330, 385));
  auto* m = w.model();
  ASSERT_EQ(m->rowCount(), 20);
  EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("HORA INICIO CLASE"));
  EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("HORA FINAL CLASE"));
  EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);  // HORA is not editable
  EXPECT_TRUE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_EQ(m->data(m->index(19, 0)).toString(), QStringLiteral("20"));
  EXPECT_EQ(m->data(m->index(0, 1)).toString(), QStringLiteral("08:00"));
}

TEST_F(CheckWindows, FocusStartsAnEditAndSalirPostsIt) {
  writeTeachers({{"AB", 111}, {"CD", 0}, {"EF", 333}});
  TControlProfesores w(nullptr);
  activate(w);
  w.grid()->setFocus();
  EXPECT_EQ(w.table().state(), pasarela::TableState::Edit);
  w.grid()->setCurrentIndex(w.model()->index(1, 0));
  ASSERT_TRUE(w.model()->setData(w.model()->index(1, 0), QStringLiteral("222")));
  QTest::mouseClick(w.salir(), Qt::LeftButton);
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(dnisOnDisk(), (std::vector<std::int64_t>{111, 222, 333}));
}

TEST_F(CheckWindows, MovingToAnotherRowPostsAChangedRecord) {
  writeTeachers({{"AB", 0}, {"CD", 0}, {"EF", 0}});
  TControlProfesores w(nullptr);
  activate(w);
  w.grid()->setFocus();
  w.grid()->setCurrentIndex(w.model()->index(0, 0));
  ASSERT_TRUE(w.model()->setData(w.model()->index(0, 0), QStringLiteral("1")));
  w.grid()->setCurrentIndex(w.model()->index(2, 0));
  EXPECT_EQ(dnisOnDisk(), (std::vector<std::int64_t>{1, 0, 0}));
  // Moving on again without a change, then leaving the grid, raises nothing.
  w.grid()->setCurrentIndex(w.model()->index(1, 0));
  w.salir()->setFocus();
  EXPECT_TRUE(errors().empty());
}

TEST_F(CheckWindows, ClosingByTheTitleBarPostsThePendingRecord) {
  writeTeachers({{"AB", 0}});
  TControlProfesores w(nullptr);
  activate(w);
  w.grid()->setFocus();
  ASSERT_TRUE(w.model()->setData(w.model()->index(0, 0), QStringLiteral("12345678")));
  EXPECT_TRUE(w.close());
  EXPECT_EQ(dnisOnDisk(), (std::vector<std::int64_t>{12345678}));
}

TEST_F(CheckWindows, ANumberFieldRefusesText) {
  writeTeachers({{"AB", 5}});
  TControlProfesores w(nullptr);
  EXPECT_FALSE(w.model()->setData(w.model()->index(0, 0), QStringLiteral("12x")));
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0], QStringLiteral("'12x' no es un valor entero válido."));
  EXPECT_EQ(w.model()->data(w.model()->index(0, 0)).toString(), QStringLiteral("5"));
}

TEST_F(CheckWindows, EnterMovesLikeTabAndNoRowIsAddedOrRemoved) {
  writeTemplate();
  TControlPlantilla w(nullptr);
  activate(w);
  auto* grid = w.grid();
  grid->setFocus();
  grid->setCurrentIndex(w.model()->index(0, 1));
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_EQ(grid->currentIndex(), w.model()->index(0, 2));
  QTest::keyClick(grid, Qt::Key_Enter);
  EXPECT_EQ(grid->currentIndex().row(), 1);
  QTest::keyClick(grid, Qt::Key_Insert);
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(w.model()->rowCount(), 20);

  // Typing into a cell and pressing Enter hands the text over and moves on.
  grid->setCurrentIndex(w.model()->index(3, 1));
  QTest::keyClick(grid, '1');  // the first key opens the cell's editor
  QTest::keyClicks(QApplication::focusWidget(), "0:05");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(w.model()->data(w.model()->index(3, 1)).toString(), QStringLiteral("10:05"));
  EXPECT_EQ(grid->currentIndex(), w.model()->index(3, 2));
  QTest::mouseClick(w.salir(), Qt::LeftButton);
  Table t;
  t.setTableName("C:\\KTEMP\\Vavovidi\\PLANTILLA.DBF");
  t.open();
  t.goTo(4);
  EXPECT_EQ(t.asString("HORAINI"), "10:05");
  t.close();
}

TEST_F(CheckWindows, NavigatorMovesTheGridAndCancels) {
  writeTemplate();
  TControlPlantilla w(nullptr);
  activate(w);
  Navigator& nav = *w.navigator();
  nav.trigger(Navigator::Last);
  EXPECT_EQ(w.grid()->currentIndex().row(), 19);
  nav.trigger(Navigator::PriorTen);
  EXPECT_EQ(w.grid()->currentIndex().row(), 9);
  nav.trigger(Navigator::Prior);
  EXPECT_EQ(w.model()->currentRow(), 8);
  nav.trigger(Navigator::First);
  EXPECT_EQ(w.model()->currentRow(), 0);
  ASSERT_TRUE(w.model()->setData(w.model()->index(0, 1), QStringLiteral("07:30")));
  nav.trigger(Navigator::Cancel);
  EXPECT_EQ(w.model()->data(w.model()->index(0, 1)).toString(), QStringLiteral("08:00"));
  nav.trigger(Navigator::NextTen);
  EXPECT_EQ(w.model()->currentRow(), 10);
  EXPECT_TRUE(errors().empty());
}

TEST_F(CheckWindows, ASlotTimeMustBeEmptyOrAValidTime) {
  writeTemplate();
  TControlPlantilla w(nullptr);
  auto* m = w.model();
  for (const char* bad : {"abc", "25:99", "24:00", "8:00", "08:60", "0800"}) {
    boxes_.clear();
    EXPECT_FALSE(m->setData(m->index(0, 1), QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(m->data(m->index(0, 1)).toString(), QStringLiteral("08:00")) << bad;
    ASSERT_EQ(errors().size(), 1u) << bad;
    EXPECT_TRUE(errors()[0].contains(QStringLiteral("HH:MM"))) << errors()[0].toStdString();
  }
  boxes_.clear();
  for (const char* good : {"00:00", "23:59", "09:05", ""}) {
    EXPECT_TRUE(m->setData(m->index(1, 2), QString::fromLatin1(good))) << good;
    EXPECT_EQ(m->data(m->index(1, 2)).toString(), QString::fromLatin1(good));
  }
  EXPECT_TRUE(errors().empty());
}

TEST_F(CheckWindows, TextLongerThanTheFieldIsRefusedNotCut) {
  writeTeachers({{"AB", 111}});
  TControlProfesores w(nullptr);
  auto* m = w.model();
  EXPECT_FALSE(m->setData(m->index(0, 1), QStringLiteral("ABCDE")));  // ABREV holds 4
  EXPECT_EQ(m->data(m->index(0, 1)).toString(), QStringLiteral("AB"));
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("ABREV"))) << errors()[0].toStdString();
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("C:\\KTEMP\\"), Qt::CaseInsensitive));
  EXPECT_TRUE(m->setData(m->index(0, 1), QStringLiteral("ABCD")));
}

TEST_F(CheckWindows, TeachersWithoutNumberAreMarkedAndF3GoesToThem) {
  writeTeachers({{"AB", 111}, {"CD", 0}, {"EF", 222}, {"GH", 0}});
  TControlProfesores w(nullptr);
  activate(w);
  auto* m = w.model();
  const QColor attention = m->data(m->index(1, 0), Qt::BackgroundRole).value<QBrush>().color();
  EXPECT_EQ(m->data(m->index(3, 2), Qt::BackgroundRole).value<QBrush>().color(), attention);
  for (int row : {0, 2}) {
    const QColor c = m->data(m->index(row, 0), Qt::BackgroundRole).value<QBrush>().color();
    EXPECT_NE(c, attention) << row;
  }
  w.grid()->setFocus();
  QTest::keyClick(w.grid(), Qt::Key_F3);
  EXPECT_EQ(m->currentRow(), 1);
  QTest::keyClick(w.grid(), Qt::Key_F3);
  EXPECT_EQ(m->currentRow(), 3);
  // A number typed in: the row is no longer marked, F3 finds the other one.
  ASSERT_TRUE(m->setData(m->index(3, 0), QStringLiteral("12345678")));
  EXPECT_NE(m->data(m->index(3, 0), Qt::BackgroundRole).value<QBrush>().color(), attention);
  QTest::keyClick(w.grid(), Qt::Key_F3);
  EXPECT_EQ(m->currentRow(), 1);
  w.close();
  // What the window writes is unchanged: the numbers typed, nothing else.
  EXPECT_EQ(dnisOnDisk(), (std::vector<std::int64_t>{111, 0, 222, 12345678}));
}

TEST_F(CheckWindows, ReturnOnSalirClosesTheWindow) {
  writeTemplate();
  TControlPlantilla w(nullptr);
  activate(w);
  w.salir()->setFocus();
  QTest::keyClick(w.salir(), Qt::Key_Return);
  EXPECT_FALSE(w.isVisible());
}

#ifdef PASARELA_HAVE_SAMPLE_CHM
TEST_F(CheckWindows, HelpOpenedFromACheckWindowAnswersClicksWhileItIsOpen) {
  writeTemplate();
  auto& help = pasarela::help::HelpSystem::instance();
  help.setHelpFile(QStringLiteral(PASARELA_SAMPLE_CHM));
  pasarela::shell::TExportarDatos main({});
  main.show();
  QString before, after;
  bool clicked = false;
  pasarela::help::ChmViewerWindow* viewer = nullptr;
  shelltest::ModalScript script([&](QWidget* modal) {
    auto* check = qobject_cast<TControlPlantilla*>(modal);
    if (!check) return;
    QApplication::setActiveWindow(check);
    QTest::keyClick(check->grid(), Qt::Key_F1);
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* v = qobject_cast<pasarela::help::ChmViewerWindow*>(top); v && v->isVisible()) viewer = v;
    if (viewer) {
      before = viewer->currentTopic();
      QTextBrowser* browser = viewer->browser();
      // The first link of the topic, where it is drawn.
      QTextDocument* doc = browser->document();
      for (QTextBlock b = doc->begin(); b != doc->end() && !clicked; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd() && !clicked; ++it) {
          const QTextFragment f = it.fragment();
          if (!f.charFormat().isAnchor() || f.length() < 2) continue;
          QTextCursor c(doc);
          c.setPosition(f.position() + 1);
          const QRect r = browser->cursorRect(c);
          // Through the window system, where a window blocked by a modal one
          // gets no clicks.
          const QPoint at = browser->viewport()->mapTo(viewer, QPoint(r.left(), r.center().y()));
          QTest::mouseClick(viewer->windowHandle(), Qt::LeftButton, {}, at);
          clicked = true;
        }
      }
      after = viewer->currentTopic();
    }
    check->salir()->click();
  });
  TControlPlantilla w(&main);
  w.runModal();
  ASSERT_NE(viewer, nullptr) << "F1 opened no help window";
  ASSERT_TRUE(clicked) << "the topic has no link";
  EXPECT_FALSE(before.isEmpty());
  EXPECT_NE(after, before);
  help.shutDown();
}
#endif
