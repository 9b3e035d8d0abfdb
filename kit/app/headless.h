// The kit without a window: sensor commands come in on standard input, every
// effect goes out as one line on standard output.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace koru::kit {

class KitDriver;
struct Effect;

class Headless : public QObject
{
    Q_OBJECT
public:
    explicit Headless(KitDriver &driver, QObject *parent = nullptr);

    // Starts reading standard input; the application quits when it closes.
    void start();
    // Prints one line on standard output at once.
    static void printLine(const QString &line);

    // Applies one command line; false (and a message) when it is not one.
    static bool apply(KitDriver &driver, const QString &line, QString *error);
    static QString commandHelp();

private:
    void readInput();
    void printEffect(const Effect &effect);

    KitDriver &m_driver;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
};

} // namespace koru::kit
