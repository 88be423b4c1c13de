// GoogleTest main with a plain QCoreApplication, for tests that wait in Qt's
// event loop but show no widgets (on Windows its dispatcher also delivers
// the messages of the platform layer's hidden windows).
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
