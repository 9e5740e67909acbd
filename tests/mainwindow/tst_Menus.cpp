// The menus as a user meets them: their access keys and their check marks.
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmMain.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QTest>

class tst_Menus : public QObject {
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

    void onlyCheckedItemsShowAMark() {
        TestRun run;
        frmMain &main = Module1::Forms().Get<frmMain>();
        QMenu *format = main.mnuMFormat;
        // How the menu draws an item, alone on a blank picture.
        const auto draw = [format](QStyleOptionMenuItem::CheckType type, bool checked) {
            QStyleOptionMenuItem option;
            option.initFrom(format);
            option.rect = QRect(0, 0, 160, 24);
            option.text = QStringLiteral("Bold");
            option.menuItemType = QStyleOptionMenuItem::Normal;
            option.menuHasCheckableItems = true;
            option.checkType = type;
            option.checked = checked;
            QImage picture(option.rect.size(), QImage::Format_ARGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            format->style()->drawControl(QStyle::CE_MenuItem, &option, &painter, format);
            return picture;
        };
        const QImage plain = draw(QStyleOptionMenuItem::NotCheckable, false);
        QCOMPARE(draw(QStyleOptionMenuItem::NonExclusive, false), plain);
        QVERIFY(draw(QStyleOptionMenuItem::NonExclusive, true) != plain);
        QVERIFY(main.mnuMTSound->isChecked() && !main.mnuMFoBold->isChecked());
    }
};

QTEST_MAIN(tst_Menus)
#include "tst_Menus.moc"
