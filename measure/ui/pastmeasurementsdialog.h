// The list of past measurements: one row a journal, newest first, and the
// buttons that hand the chosen one to the measurement window. It reads
// nothing itself beyond the list (ListPastMeasurements).
#pragma once

#include "measure/pastmeasurements.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace koru::measure {

class PastMeasurementsDialog : public QDialog
{
    Q_OBJECT
public:
    PastMeasurementsDialog(const QString &folder, QWidget *parent = nullptr);

    // Lists the folder again, keeping the chosen journal chosen when it is
    // still there.
    void reload();
    // Without charts (their module missing) "グラフで見る" stays off and a
    // double-click does nothing.
    void setChartsAvailable(bool available);

    QTreeWidget *list() const { return m_list; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *chartButton() const { return m_chart; }
    QPushButton *closeButton() const { return m_close; }
    // The chosen journal; empty when none or an unreadable one is chosen.
    QString chosenPath() const;

    static const QString Title;

signals:
    void saveWanted(const QString &path);
    void chartWanted(const QString &path);

private:
    void updateButtons();

    QString m_folder;
    QList<PastMeasurement> m_past;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_chart = nullptr;
    QPushButton *m_close = nullptr;
    bool m_chartsAvailable = true;
};

} // namespace koru::measure
