#include "kit/app/headless.h"

#include "kit/kitdriver.h"
#include "model/textutil.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace koru::kit {

Headless::Headless(KitDriver &driver, QObject *parent) : QObject(parent), m_driver(driver)
{
    connect(&m_driver, &KitDriver::effectHappened, this, &Headless::printEffect);
}

QString Headless::commandHelp()
{
    return QStringLiteral(
        "Commands on standard input, one per line:\n"
        "  sound              a sound reaches the sound sensor\n"
        "  switch on|off      press or release the push switch\n"
        "  bright | dark      the light around the kit\n"
        "  temperature N      temperature in degrees Celsius (0-50)\n"
        "  humidity N         relative humidity in percent (0-100)\n"
        "  quit               end the kit (so does closing standard input)\n"
        "The room warms while the lamp burns and cools while the fan runs, and\n"
        "drifts back to the last temperature and humidity set.\n");
}

void Headless::printLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8() + '\n';
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fflush(stdout);
}

void Headless::printEffect(const Effect &effect)
{
    printLine(QString::number(effect.atMs) + QLatin1Char(' ') + DescribeEffect(effect));
}

bool Headless::apply(KitDriver &driver, const QString &line, QString *error)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return true;
    const QString command = words[0].toLower();
    const auto number = [&words](int low, int high) -> std::optional<int> {
        if (words.size() != 2)
            return std::nullopt;
        const std::optional<int> n = ToInteger(words[1]);
        if (!n || *n < low || *n > high)
            return std::nullopt;
        return n;
    };
    if (command == QLatin1String("sound") && words.size() == 1) {
        driver.hearSound();
        return true;
    }
    if (command == QLatin1String("switch") && words.size() == 2
        && (words[1] == QLatin1String("on") || words[1] == QLatin1String("off"))) {
        driver.setSwitch(words[1] == QLatin1String("on"));
        return true;
    }
    if ((command == QLatin1String("bright") || command == QLatin1String("dark")) && words.size() == 1) {
        driver.setBright(command == QLatin1String("bright"));
        return true;
    }
    if (command == QLatin1String("temperature")) {
        if (const std::optional<int> n = number(0, 50)) {
            driver.setTemperature(*n);
            return true;
        }
        *error = QStringLiteral("temperature needs a number from 0 to 50");
        return false;
    }
    if (command == QLatin1String("humidity")) {
        if (const std::optional<int> n = number(0, 100)) {
            driver.setHumidity(*n);
            return true;
        }
        *error = QStringLiteral("humidity needs a number from 0 to 100");
        return false;
    }
    if (command == QLatin1String("quit") && words.size() == 1) {
        QCoreApplication::quit();
        return true;
    }
    *error = QStringLiteral("unknown command: %1").arg(line.simplified());
    return false;
}

void Headless::start()
{
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Headless::readInput);
}

void Headless::readInput()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) { // closed (or broken): the kit goes away
        m_notifier->setEnabled(false);
        QCoreApplication::quit();
        return;
    }
    m_pending.append(buffer, qsizetype(n));
    if (m_pending.size() > 64 * 1024 && !m_pending.contains('\n'))
        m_pending.clear(); // a line that never ends is dropped, not hoarded
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        QString error;
        if (!apply(m_driver, line, &error)) {
            const QByteArray text = ("koru-kit: " + error + '\n').toUtf8();
            std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
            std::fflush(stderr);
        }
    }
}

} // namespace koru::kit
