// The sent-data viewer: a program's instruction listing as a numbered grid
// of instructions with their codes in hexadecimal, over an explanatory
// picture. The editors open it modally, centred over themselves.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QTableWidget;

namespace koru {

class SentDataViewer : public QDialog
{
    Q_OBJECT
public:
    // The shell makes the program's one viewer and hands it to the editors.
    explicit SentDataViewer(QWidget *parent = nullptr);

    // Replaces the listing ("START", records, "END") and fills the grid.
    void setListing(const QStringList &listing);
    QStringList listing() const { return m_listing; }

    // Fills the grid, centres the viewer over caller and shows it modally.
    void showOver(QWidget *caller);

    QTableWidget *grid() const { return m_grid; }
    QLabel *picture() const { return m_picture; }

    static constexpr int ClientWidth = 798;  // outer 814 x 723 with an ordinary frame
    static constexpr int ClientHeight = 684;

private:
    void fill();

    QStringList m_listing;
    QTableWidget *m_grid = nullptr;
    QLabel *m_picture = nullptr;
};

} // namespace koru
