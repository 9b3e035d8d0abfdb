// Randomised programs through check, translation and linking together.
// Every run uses the same seeds, so a failure repeats; the failing program is
// printed with the message.
//
// For every program that passes the checks:
//   - its image holds only bytes, starts with the start instruction, and
//     ends with 231 and one 0;
//   - every address in it points at the first byte of an instruction;
//   - it holds one instruction per table entry;
//   - its listing renders to text that passes the checks again and gives
//     the same listing.
// Programs that fail must still translate, link and render without harm.
#include "textfixture.h"

#include "model/catalogue.h"
#include "model/decoder.h"
#include "model/encoder.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace koru;
using namespace koru::test;

namespace {

// Why an image is wrong, or empty when it is right.
QString imageFault(const DeviceImage &image, int tableSize)
{
    if (!ImageHoldsOnlyBytes(image))
        return QStringLiteral("value outside 0-255");
    if (image.value(0) != 230)
        return QStringLiteral("does not begin with start");
    QSet<int> starts;
    QList<DecodedInstruction> instructions;
    int address = 0;
    for (;;) {
        const DecodedInstruction instruction = DecodeInstruction(image, address);
        if (!instruction.complete())
            return QStringLiteral("instruction at %1 runs past the end").arg(address);
        starts.insert(address);
        instructions.append(instruction);
        if (instruction.keyword == QLatin1String("end"))
            break;
        address += instruction.length;
        if (address >= image.size())
            return QStringLiteral("no end instruction");
    }
    if (image.at(address) != 231 || image.size() != address + 2 || image.last() != 0)
        return QStringLiteral("does not close with 231 and one 0");
    if (instructions.size() != tableSize)
        return QStringLiteral("%1 instructions for %2 entries").arg(instructions.size()).arg(tableSize);
    for (const DecodedInstruction &instruction : instructions) {
        for (int successor : instruction.successors()) {
            if (!starts.contains(successor))
                return QStringLiteral("instruction at %1 points at %2").arg(instruction.address).arg(successor);
        }
    }
    return {};
}

// Why a passing program breaks one of the promises above, or empty.
QString passingProgramFault(const TextLanguage &language, const QStringList &program)
{
    const QStringList records = language.toRecords(program);
    const std::optional<QList<EncoderEntry>> table = InstructionTableOf(records);
    if (!table)
        return QStringLiteral("no instruction table");
    const TextImage image = language.toBytes(program);
    const QString fault = imageFault(image.image, int(table->size()));
    if (!fault.isEmpty())
        return fault;
    if (image.sendable() != (image.image.size() <= MaxImageBytes))
        return QStringLiteral("refusal does not match the size");
    const std::optional<QStringList> rendered = language.renderRecords(records);
    if (!rendered)
        return QStringLiteral("listing not rendered");
    if (!language.check(*rendered).passed())
        return QStringLiteral("rendered text fails: ") + rendered->join(QLatin1String(" · "));
    if (language.toRecords(*rendered) != records)
        return QStringLiteral("rendered text gives another listing");
    return {};
}

class Generator
{
public:
    explicit Generator(quint32 seed) : m_random(seed) {}

    int below(int n) { return int(m_random.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template<typename T>
    const T &pick(const QList<T> &list) { return list.at(below(int(list.size()))); }

    QString number(int min, int max) { return QString::number(min + below(max - min + 1)); }
    QString duration() { return QuarterSecondText(1 + below(31)); }
    QString colour() { return number(0, 255); }

    QString condition()
    {
        switch (below(6)) {
        case 0:
            return pick<QString>({"sw=on", "sw=off", "cds=on", "cds=off"});
        case 1:
            return QStringLiteral("temp") + pick<QString>({">", "<", "="}) + number(0, 40);
        case 2:
            return QStringLiteral("humi") + pick<QString>({">", "<", "="}) + number(0, 100);
        case 3:
            return QStringLiteral("temp") + pick<QString>({">", "<", "="}) + QStringLiteral("x");
        case 4:
            return QStringLiteral("humi") + pick<QString>({">", "<", "="}) + QStringLiteral("y");
        default:
            return QStringLiteral("sw=on");
        }
    }

    // A statement other than if and the loop roles, written as pupils do:
    // blanks and capitals here and there, comments sometimes.
    QString statement()
    {
        QString s;
        switch (below(12)) {
        case 0: s = "ledon(" + colour() + "," + colour() + "," + colour() + "," + duration() + ");"; break;
        case 1: s = pick<QString>({"fadein(", "fadeout("}) + colour() + "," + colour() + "," + colour() + ");"; break;
        case 2: s = "backlight(" + number(0, 100) + "," + duration() + ");"; break;
        case 3: s = "timer(" + number(1, 255) + ");"; break;
        case 4: s = "tempwait(" + number(0, 40) + ");"; break;
        case 5: s = "humiwait(" + number(0, 100) + ");"; break;
        case 6: s = pick<QString>({"motoron(", "lampon("}) + number(1, 255) + ");"; break;
        case 7: s = pick<QString>({"gettempx();", "gethumiy();"}); break;
        default:
            s = pick<QString>({"soundwait();", "swwait();", "lightwait();", "darkwait();", "radioplay();",
                               "radiostop();", "melodydata();", "beep1();", "beep2();", "beep3();",
                               "linkstart();", "linkend();", "motoroff();", "lampoff();"});
        }
        return decorate(s);
    }

    QString decorate(QString line)
    {
        if (chance(20))
            line = line.toUpper();
        if (chance(20))
            line.insert(below(int(line.size()) + 1), QLatin1Char(' '));
        if (chance(10))
            line += QStringLiteral(" // メモ");
        return line;
    }

    // A sequence at some depth; loops may open in any part but close in the
    // same one.
    void sequence(QStringList &out, int depth, int &budget)
    {
        const int length = below(5);
        bool loopOpen = false;
        for (int i = 0; i < length && budget > 0; ++i) {
            const int what = below(10);
            if (what < 2 && depth < 10 && budget > 3) {
                --budget;
                out << decorate("if(" + condition() + "){");
                sequence(out, depth + 1, budget);
                out << QStringLiteral("}");
                if (chance(60)) {
                    out << QStringLiteral("else{");
                    sequence(out, depth + 1, budget);
                    out << QStringLiteral("}");
                }
            } else if (what == 2 && !loopOpen && !m_inLoop && budget > 2) {
                --budget;
                out << decorate("loopstart(" + number(1, 255) + ");");
                loopOpen = m_inLoop = true;
            } else if (what == 3 && loopOpen) {
                --budget;
                out << decorate(QStringLiteral("loopend();"));
                loopOpen = m_inLoop = false;
            } else {
                --budget;
                out << statement();
            }
            if (chance(5))
                out << QStringLiteral("// コメント") << QString();
        }
        if (loopOpen) {
            out << QStringLiteral("loopend();");
            m_inLoop = false;
        }
    }

    QStringList program()
    {
        QStringList out;
        int budget = 4 + below(24);
        m_inLoop = false;
        while (budget > 0 && out.size() < 20)
            sequence(out, 0, budget);
        return out;
    }

    // A program damaged the way typing damages it.
    QStringList mutated(QStringList program)
    {
        const int edits = 1 + below(3);
        for (int e = 0; e < edits && !program.isEmpty(); ++e) {
            const int line = below(int(program.size()));
            QString &text = program[line];
            switch (below(6)) {
            case 0:
                if (!text.isEmpty())
                    text.remove(below(int(text.size())), 1);
                break;
            case 1:
                text.insert(below(int(text.size()) + 1), pick<QString>({"(", ")", ";", "{", "}", ",", "9", "x", "\t", "　"}));
                break;
            case 2:
                program.insert(line, program.at(line));
                break;
            case 3:
                program.removeAt(line);
                break;
            case 4:
                program.move(line, below(int(program.size())));
                break;
            default:
                text = pick<QString>({"}", "else{", "if(sw=on){", "loopstart(2);", "loopend();", "if(temp>x){"});
            }
        }
        return program;
    }

    // Lines from fragments of the language and some that are not.
    QStringList soup()
    {
        static const QStringList fragments = {
            "if", "else", "(", ")", "{", "}", ";", ",", "ledon", "timer", "loopstart", "loopend",
            "beep1", "backlight", "temp>", "humi=", "x", "y", "sw=on", "0", "1", "1.5", "255", "256",
            "-0", "+7", "99999999999", " ", "\t", "//", "　", "é", "\x7f", "gettempx", "motoroff",
        };
        QStringList out;
        const int count = below(12);
        for (int i = 0; i < count; ++i) {
            QString line;
            const int parts = below(8);
            for (int p = 0; p < parts; ++p)
                line += fragments.at(below(int(fragments.size())));
            if (chance(5))
                line += QChar(char16_t(below(0xd800)));
            out << line;
        }
        return out;
    }

private:
    QRandomGenerator m_random;
    bool m_inLoop = false;
};

} // namespace

class TstTextFuzz : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_language = shippedLanguage();
        QVERIFY(m_language);
    }

    void generatedPrograms()
    {
        Generator generator(20261210);
        int passed = 0;
        for (int i = 0; i < 3000; ++i) {
            const QStringList program = generator.program();
            if (!m_language->check(program).passed())
                continue; // variables before use and long programs fail; that is fine
            ++passed;
            const QString fault = passingProgramFault(*m_language, program);
            QVERIFY2(fault.isEmpty(), qPrintable(fault + "\n" + program.join(QLatin1Char('\n'))));
        }
        qInfo() << passed << "of 3000 generated programs passed the checks";
        QVERIFY(passed > 500); // the generator must reach the encoder
    }

    void damagedPrograms()
    {
        Generator generator(7);
        int passed = 0;
        for (int i = 0; i < 3000; ++i) {
            const QStringList program = generator.mutated(generator.program());
            const CheckResult result = m_language->check(program);
            if (result.passed()) {
                ++passed;
                const QString fault = passingProgramFault(*m_language, program);
                QVERIFY2(fault.isEmpty(), qPrintable(fault + "\n" + program.join(QLatin1Char('\n'))));
            } else {
                QVERIFY(result.failedCheck >= 1 && result.failedCheck <= 5);
                QVERIFY(!result.message.isEmpty());
                QVERIFY(ImageHoldsOnlyBytes(m_language->toBytes(program).image));
                m_language->renderRecords(m_language->toRecords(program));
            }
        }
        qInfo() << passed << "of 3000 damaged programs still passed the checks";
    }

    void fragmentSoup()
    {
        Generator generator(99);
        for (int i = 0; i < 5000; ++i) {
            const QStringList program = generator.soup();
            const CheckResult result = m_language->check(program);
            const QStringList records = m_language->toRecords(program);
            QCOMPARE(records.first(), QStringLiteral("START"));
            QCOMPARE(records.last(), QStringLiteral("END"));
            if (result.passed()) {
                const QString fault = passingProgramFault(*m_language, program);
                QVERIFY2(fault.isEmpty(), qPrintable(fault + "\n" + program.join(QLatin1Char('\n'))));
            } else {
                QVERIFY(ImageHoldsOnlyBytes(m_language->toBytes(program).image));
            }
            m_language->renderRecords(program); // not a listing at all
        }
    }

private:
    std::optional<TextLanguage> m_language;
};

KORU_TEST_GUILESS_MAIN(TstTextFuzz)
#include "tst_textfuzz.moc"
