#pragma once

#include <QAbstractTableModel>

namespace ambrin {

class TimeLog;

// The Edit Log list over the working log: row i shows record i. Texts are made when a row
// is shown, so a log of any size opens at once.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { StartColumn, EndColumn, ProjectColumn, HoursColumn, ColumnCount };

    explicit LogTableModel(const TimeLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The dialog changes the log and tells the view through these.
    void BeginReset();
    void EndReset();
    void RefreshAll();
    void RefreshRows(int first, int last);  // as far as the log goes
    void BeginInsertAt(int row);
    void EndInsert();
    void BeginRemoveAt(int row);
    void EndRemove();

private:
    QString CellText(int row, int column) const;
    const TimeLog& log_;
};

}  // namespace ambrin
