#include "seged/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTest>

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void dialogButtonsReadHungarian_data();
    void dialogButtonsReadHungarian();
};

void TestTranslations::dialogButtonsReadHungarian_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");

    QTest::newRow("Yes") << int(QDialogButtonBox::Yes) << "Igen";
    QTest::newRow("No") << int(QDialogButtonBox::No) << "Nem";
    QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << "Mégse";
}

void TestTranslations::dialogButtonsReadHungarian()
{
    QFETCH(int, button);
    QFETCH(QString, text);
    const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_hu.qm";
    if (!QFile::exists(file))
        QSKIP("qtbase_hu.qm is not installed (Debian: qt6-translations-l10n)");

    static const bool installed = InstallHungarianTranslations(*qApp);
    QVERIFY(installed);

    QDialogButtonBox box(static_cast<QDialogButtonBox::StandardButton>(button));
    // "&Igen": the mnemonic marker is not part of the text.
    QCOMPARE(box.button(static_cast<QDialogButtonBox::StandardButton>(button))->text().remove('&'),
             text);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
