#pragma once

#include <QTableView>

namespace zep {

class RecordListModel;

// The main list's view: whole rows, one at a time, a right click on a record
// selects it before the context menu opens.
class RecordListView : public QTableView
{
    Q_OBJECT

public:
    RecordListView(RecordListModel *model, QWidget *parent);

    RecordListModel *records() const { return m_model; }
    // -1 when no record is selected.
    int selectedRecord() const;
    void selectRecord(int row);

Q_SIGNALS:
    void contextMenuWanted(const QPoint &globalPos);
    void headingClicked(int column);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    RecordListModel *m_model;
};

} // namespace zep
