#include <QtTest>
class TestStudioLayout : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestStudioLayout)
#include "tst_studio_layout.moc"
