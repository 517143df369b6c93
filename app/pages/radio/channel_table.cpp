#include "channel_table.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace Varnok {
namespace ChannelTable {

void setup(QTableWidget* table) {
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
}

void show(QTableWidget* table, const QStringList& titles,
          const std::vector<std::vector<double>>& columns, int rows, int firstLabel) {
    table->setColumnCount(static_cast<int>(titles.size()));
    // Three columns sized to their titles overflow a 480-pixel screen: share the width then,
    // the titles wrapped.
    QHeaderView* header = table->horizontalHeader();
    const bool shared = titles.size() > 1;
    header->setSectionResizeMode(shared ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    header->setMinimumHeight(shared ? 2 * header->fontMetrics().lineSpacing() + 8 : 0);
    table->setRowCount(rows);
    table->setHorizontalHeaderLabels(titles);
    QStringList labels;
    for (int r = 0; r < rows; ++r) {
        labels << QString::number(firstLabel + r);
    }
    table->setVerticalHeaderLabels(labels);
    const int shown = std::min(static_cast<int>(columns.size()), table->columnCount());
    for (int c = 0; c < shown; ++c) {
        const std::vector<double>& list = columns[static_cast<size_t>(c)];
        const int n = std::min(static_cast<int>(list.size()), rows);
        for (int r = 0; r < n; ++r) {
            table->setItem(r, c, new QTableWidgetItem(frequencyText(list[static_cast<size_t>(r)])));
        }
    }
}

QString frequencyText(double mhz) {
    return QString::number(mhz, 'f', 2);
}

int longest(const std::vector<std::vector<double>>& columns) {
    size_t n = 0;
    for (const auto& c : columns) {
        n = std::max(n, c.size());
    }
    return static_cast<int>(n);
}

}  // namespace ChannelTable
}  // namespace Varnok
