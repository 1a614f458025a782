#include "dialogs/LogTableModel.h"

#include "dialogs/common/QtText.h"
#include "core/TimeLog.h"

#include <algorithm>

namespace ambrin {

LogTableModel::LogTableModel(const TimeLog& log, QObject* parent) : QAbstractTableModel(parent), log_(log) {}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(log_.Count());
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kTitles[] = {"Start", "End", "Project", "Hours"};
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kTitles[section]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return CellText(index.row(), index.column());
    return {};
}

QString LogTableModel::CellText(int row, int column) const
{
    const TimeRecord& record = log_.View(static_cast<std::uint32_t>(row));
    switch (column) {
    case StartColumn: {
        // The date is shown where the day changes: on the first row, and where the record
        // does not start on the day its predecessor ended.
        const bool showDate =
            row == 0 || !SameDay(log_.View(static_cast<std::uint32_t>(row - 1)).end, record.start);
        return ToQString(record.start.Format(showDate ? ClockTextStyle::DateAndTime : ClockTextStyle::TimeOnly));
    }
    case EndColumn:
        if (record.end.IsEmpty()) return QStringLiteral("(in progress)");
        return ToQString(record.end.Format(SameDay(record.start, record.end) ? ClockTextStyle::TimeOnly
                                                                             : ClockTextStyle::DateAndTime));
    case ProjectColumn:
        return ToQString(record.project);
    case HoursColumn:
        // An empty start would give a duration of centuries: no hours, as the file says 0.
        if (record.end.IsEmpty() || record.start.IsEmpty()) return {};
        return QString::fromLatin1(
            FormatHours(static_cast<std::int32_t>(SecondsBetween(record.end, record.start))).c_str());
    default:
        return {};
    }
}

void LogTableModel::BeginReset()
{
    beginResetModel();
}

void LogTableModel::EndReset()
{
    endResetModel();
}

void LogTableModel::RefreshAll()
{
    RefreshRows(0, rowCount() - 1);
}

void LogTableModel::RefreshRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first <= last) emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void LogTableModel::BeginInsertAt(int row)
{
    beginInsertRows({}, row, row);
}

void LogTableModel::EndInsert()
{
    endInsertRows();
}

void LogTableModel::BeginRemoveAt(int row)
{
    beginRemoveRows({}, row, row);
}

void LogTableModel::EndRemove()
{
    endRemoveRows();
}

}  // namespace ambrin
