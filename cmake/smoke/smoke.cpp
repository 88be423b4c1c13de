// Types into a QScintilla editor on the windows platform and reads it back;
// a thread shows that the posix-thread runtime works.
#include <QApplication>
#include <QtTest/QTest>
#include <Qsci/qsciscintilla.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

TEST(WinSdk, EditorTakesTypedKeys) {
  int argc = 1;
  char name[] = "smoke";
  char *argv[] = {name, nullptr};
  QApplication app(argc, argv);
  EXPECT_EQ(QGuiApplication::platformName().toStdString(), "windows");

  QsciScintilla editor;
  editor.resize(300, 200);
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  editor.setFocus();
  QTest::keyClicks(&editor, "F1 (hello)");
  EXPECT_THAT(editor.text().toStdString(), ::testing::StrEq("F1 (hello)"));

  int seen = 0;
  std::thread([&seen] { seen = 1; }).join();
  EXPECT_EQ(seen, 1);
}
