// The sent-data viewer: a program's instruction listing as a numbered grid
// of instructions with their codes in hexadecimal, over an explanatory
// picture. The editors open it modally, centred over themselves.
#pragma once

#include "widgets/lazycontent.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QTableWidget;

namespace koru {

class SentDataViewer : public QDialog
{
    Q_OBJECT
public:
    // The shell makes the program's one viewer at start and hands it to the
    // editors; it builds the grid and picture when first shown.
    explicit SentDataViewer(QWidget *parent = nullptr, Content content = Content::Now);

    // Replaces the listing ("START", records, "END") and fills the grid.
    void setListing(const QStringList &listing);
    QStringList listing() const { return m_listing; }

    // Fills the grid, centres the viewer over caller and shows it modally.
    void showOver(QWidget *caller);

    QTableWidget *grid() const
    {
        m_lazy.ensureBuilt();
        return m_grid;
    }
    QLabel *picture() const
    {
        m_lazy.ensureBuilt();
        return m_picture;
    }

    void setVisible(bool visible) override;

    static constexpr int ClientWidth = 798;  // outer 814 x 723 with an ordinary frame
    static constexpr int ClientHeight = 684;

private:
    void build();
    void fill();

    QStringList m_listing;
    QTableWidget *m_grid = nullptr;
    QLabel *m_picture = nullptr;
    LazyContent m_lazy; // last: builds into the members above
};

} // namespace koru
