#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QTableWidget;

namespace Varnok {

// The read-only frequency tables of the radio channel pages.
namespace ChannelTable {

// No editing, columns sized to their contents, one whole row selected at a time.
void setup(QTableWidget* table);
// Column c gets columns[c] under titles[c], value i in row i; rows are labelled from
// firstLabel up. Values beyond the row count are not shown.
void show(QTableWidget* table, const QStringList& titles,
          const std::vector<std::vector<double>>& columns, int rows, int firstLabel);
// "456.05": MHz with two decimals.
QString frequencyText(double mhz);
// The longest list's length.
int longest(const std::vector<std::vector<double>>& columns);

}  // namespace ChannelTable

}  // namespace Varnok
