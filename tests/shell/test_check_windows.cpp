// The two check windows of the import: layout, the grid bound to the
// window's own table object, edits posted on row change, on leaving the
// grid and on closing, Enter moving like Tab, no rows added or removed.
#include <QHeaderView>
#include <QTest>

#include "data/table.h"
#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell_test_support.h"
#include "widgets/navigator.h"

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
  void writeTeachers(const std::vector<Teacher>& teachers) {
    Table t;
    t.setTableName("C:\\KTEMP\\PROFT.DBF");
    t.createTable({{"ABREV", FieldKind::String, 4},
                   {"NOMBRE", FieldKind::String, 40},
                   {"DEPART", FieldKind::String, 40},
                   {"DNI", FieldKind::Integer, 0}});
    t.open();
    for (const Teacher& teacher : teachers) {
      t.append();
      t.setString("ABREV", teacher.abrev);
      t.setString("NOMBRE", "Profesor " + teacher.abrev);
      t.setString("DEPART", "Ciencias");
      if (teacher.dni) t.setInteger("DNI", teacher.dni);
      t.post();
    }
    t.close();
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
  writeTeachers({{"AB", 111}, {"CD", 0}});
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
