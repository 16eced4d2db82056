// The option sheet and its pages on the offscreen platform, with test
// plugins installed in a private prefix.

#include <QComboBox>
#include <QtTest>

#include "frontend/options/CEmuPropertySheet.h"
#include "frontend/options/COptionsPage.h"
#include "tests/options_ui/options_workspace.h"

using namespace dravolo;

class OptionsUiTest : public QObject {
    Q_OBJECT
private slots:
    void EpsxeRecordRoundTripsThroughTheControls();
};

void OptionsUiTest::EpsxeRecordRoundTripsThroughTheControls() {
    test::OptionsWorkspace ws;
    _EPSXEDATA record(ws.settings());
    record.SoundEnabled = 0;
    record.MdecXa = 0;
    record.SioIrq = 1;
    record.BiosName = "c:\\epsxe\\bios\\scph1001.bin";
    record.CdromLetter = "F";
    record.Country = "PAL";
    record.DVOCommandLine = "-nogui";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(0));
    sheet.SetKind(0);
    sheet.LoadRecord(any);
    sheet.show();
    QCOMPARE(sheet.epsxePage()->cdrDriveCombo()->currentText(), QStringLiteral("F"));
    sheet.accept();
    AnyProfileRecord back = MakeDefaultRecord(EmulatorKind::Epsxe, ws.settings());
    sheet.StoreRecord(back);
    QVERIFY(EncodeRecord(std::get<_EPSXEDATA>(back)) == EncodeRecord(record));
}

QTEST_MAIN(OptionsUiTest)
#include "options_ui_test.moc"
