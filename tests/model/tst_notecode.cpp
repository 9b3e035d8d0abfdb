// The note codes as both the melody editor and the virtual kit read them.
#include "model/notecode.h"
#include "testmain.h"

#include <QSet>
#include <QTest>

using namespace koru;

class TstNoteCode : public QObject
{
    Q_OBJECT
private slots:
    // name empty: no note; len -1: neither note nor rest.
    void codes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("whiteKey");
        QTest::addColumn<bool>("black");
        QTest::addColumn<int>("len");
        QTest::addColumn<int>("frequency");
        QTest::addColumn<bool>("rest");
        QTest::newRow("0 C3 eighth") << 0 << "ド" << 0 << false << 0 << 131 << false;
        QTest::newRow("1 C#3") << 1 << "ド♯" << 0 << true << 0 << 139 << false;
        QTest::newRow("4 E3") << 4 << "ミ" << 2 << false << 0 << 165 << false;
        QTest::newRow("5 F3") << 5 << "ファ" << 3 << false << 0 << 175 << false;
        QTest::newRow("6 F#3") << 6 << "ファ♯" << 3 << true << 0 << 185 << false;
        QTest::newRow("11 B3") << 11 << "シ" << 6 << false << 0 << 247 << false;
        QTest::newRow("12 C4") << 12 << "ド" << 7 << false << 0 << 262 << false;
        QTest::newRow("36 C6 eighth") << 36 << "ド" << 21 << false << 0 << 1047 << false;
        QTest::newRow("37 C3 quarter") << 37 << "ド" << 0 << false << 1 << 131 << false;
        QTest::newRow("58 A4 quarter") << 58 << "ラ" << 12 << false << 1 << 440 << false;
        QTest::newRow("108 A#5 dotted") << 108 << "ラ♯" << 19 << true << 2 << 932 << false;
        QTest::newRow("111 C3 half") << 111 << "ド" << 0 << false << 3 << 131 << false;
        QTest::newRow("147 C6 half") << 147 << "ド" << 21 << false << 3 << 1047 << false;
        QTest::newRow("148 eighth rest") << 148 << "" << 0 << false << 0 << 0 << true;
        QTest::newRow("151 half rest") << 151 << "" << 0 << false << 3 << 0 << true;
        QTest::newRow("152 past the rests") << 152 << "" << 0 << false << -1 << 0 << false;
        QTest::newRow("250 end of melody") << 250 << "" << 0 << false << -1 << 0 << false;
        QTest::newRow("255 unwritten") << 255 << "" << 0 << false << -1 << 0 << false;
        QTest::newRow("-1") << -1 << "" << 0 << false << -1 << 0 << false;
    }
    void codes()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        QFETCH(int, whiteKey);
        QFETCH(bool, black);
        QFETCH(int, len);
        QFETCH(int, frequency);
        QFETCH(bool, rest);

        QCOMPARE(IsRestCode(code), rest);
        QCOMPARE(IsNoteCode(code), !name.isEmpty());
        QCOMPARE(LengthOfCode(code), len < 0 ? std::nullopt : std::optional<int>(len));
        QCOMPARE(FrequencyOfCode(code).value_or(0), frequency);
        if (rest)
            QCOMPARE(RestCodeOf(len), code);

        const std::optional<int> semitone = SemitoneOfCode(code);
        QCOMPARE(semitone.has_value(), !name.isEmpty());
        if (!semitone)
            return;
        QCOMPARE(PitchName(*semitone), name);
        QCOMPARE(NoteCodeOf(*semitone, len), code);
        QCOMPARE(SemitoneOfKey(whiteKey, black), semitone);
        const std::optional<KeyPlace> place = KeyPlaceOfSemitone(*semitone);
        QVERIFY(place);
        QCOMPARE(place->whiteKey, whiteKey);
        QCOMPARE(place->black, black);
    }

    // The keyboard covers the 37 semitones once each, every semitone and
    // length makes its own code, and the tones are the ones the editor's
    // sound and the kit have always played.
    void everyPitch()
    {
        const int expected[HighestSemitone + 1] = {131, 139, 147, 156, 165, 175, 185, 196, 208, 220,
                                                   233, 247, 262, 277, 294, 311, 330, 349, 370, 392,
                                                   415, 440, 466, 494, 523, 554, 587, 622, 659, 698,
                                                   740, 784, 831, 880, 932, 988, 1047};
        QSet<int> played;
        for (int key = -1; key <= HighestWhiteKey + 1; ++key) {
            for (bool black : {false, true}) {
                const std::optional<int> s = SemitoneOfKey(key, black);
                QCOMPARE(s.has_value(), key >= 0 && key <= HighestWhiteKey && (!black || HasBlackKey(key)));
                if (s) {
                    QVERIFY2(!played.contains(*s), qPrintable(QString::number(*s)));
                    played.insert(*s);
                }
            }
        }
        QCOMPARE(played.size(), HighestSemitone + 1);

        QSet<int> codes;
        for (int s = 0; s <= HighestSemitone; ++s) {
            QCOMPARE(FrequencyOfSemitone(s), expected[s]);
            QCOMPARE(SemitoneOfKey(KeyPlaceOfSemitone(s)->whiteKey, KeyPlaceOfSemitone(s)->black), s);
            for (int len = 0; len < LengthClassCount; ++len) {
                const int code = NoteCodeOf(s, len);
                QCOMPARE(SemitoneOfCode(code), s);
                QCOMPARE(LengthOfCode(code), len);
                codes.insert(code);
            }
        }
        QCOMPARE(codes.size(), LastNoteCode + 1);
        QCOMPARE(FrequencyOfSemitone(-1), 0);
        QCOMPARE(FrequencyOfSemitone(HighestSemitone + 1), 0);
        QVERIFY(!KeyPlaceOfSemitone(HighestSemitone + 1));
    }
};

KORU_TEST_APPLESS_MAIN(TstNoteCode)
#include "tst_notecode.moc"
