// The menus' access keys as a keyboard user presses them.
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmMain.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

class tst_AccessKeys : public QObject {
    Q_OBJECT

private slots:
    void altFOpensFileEveryTimeThoughFormatSharesTheKey() {
        TestRun run;
        Module1::Forms().Show<frmMain>();
        frmMain &main = Module1::Forms().Get<frmMain>();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        for (int press = 1; press <= 3; ++press) {
            QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
            QTRY_VERIFY(main.mnuMFile->isVisible());
            QVERIFY2(!main.mnuMFormat->isVisible(), qPrintable(QString::number(press)));
            main.mnuMFile->close();
            QTRY_VERIFY(!main.mnuMFile->isVisible());
        }
        // Alt+I still opens Insert, the key no other menu has.
        QTest::keyClick(&main, Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(main.mnuMInsert->isVisible());
        main.mnuMInsert->close();
    }
};

QTEST_MAIN(tst_AccessKeys)
#include "tst_AccessKeys.moc"
