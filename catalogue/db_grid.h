#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QTableView>

#include "table/data_link.h"

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

// One column of a data-aware grid: the field it shows and its title.
struct TGridColumn {
    QString FieldName;
    QString Title;
    int Width = 64;
};

// A read-only view of a table through its data source: one row per record in
// the table's current order, one column per grid column. A column whose field
// the table does not have shows empty cells.
class TDBGridModel : public QAbstractTableModel, public TDataLink {
    Q_OBJECT

public:
    explicit TDBGridModel(std::vector<TGridColumn> columns, QObject* parent = nullptr);

    const std::vector<TGridColumn>& Columns() const { return m_columns; }
    // The text of a field in a row; empty for a null value or a missing field.
    QString FieldText(int row, const QString& fieldName) const;
    // The row of the table's current record, -1 when there is none.
    int CurrentRow() const;
    // Moves the table's current record to a row.
    void MoveToRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void RecordChanged(TField* field) override;
    void StateChanged() override;
    void LayoutChanged() override;
    void DataSetChanged() override;

signals:
    // The table's current record moved (or the rows were reordered).
    void currentRowChanged(int row);

private:
    void Reset();

    std::vector<TGridColumn> m_columns;
};

// What a cell is drawn with: the grid has set the background to the column's
// colour, or to the selection colours for a selected row.
struct TCellCanvas {
    QPainter& Painter;
    QRect Rect;
    QColor Brush;
    QColor FontColor;
    QFont Font;
};

// Draws a cell the standard way: the text on the background.
void DefaultDrawColumnCell(TCellCanvas& canvas, const QString& text);

// A read-only grid over a TDBGridModel: title row, row indicator, whole-row
// selection that stays visible without focus, resizable columns. The owner
// draws the cells through DrawColumnCell; one wheel notch moves one row.
class TDBGrid : public QTableView {
    Q_OBJECT

public:
    explicit TDBGrid(TDBGridModel* model, QWidget* parent = nullptr);

    TDBGridModel* GridModel() const { return m_model; }
    QColor ColumnColor(int column) const;
    void SetColumnColor(int column, const QColor& color);

    std::function<void(TCellCanvas& canvas, int row, int column, bool selected)> DrawColumnCell;

    // A turn of the wheel by `delta` (120 a notch, positive away from the
    // user): each whole notch moves the current row by one.
    void TurnWheel(int delta);

signals:
    void titleClicked(int column);
    void gridDoubleClicked();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ShowCurrentRow(int row);

    TDBGridModel* m_model;
    std::vector<QColor> m_columnColors;
    int m_wheelRemainder = 0;
    bool m_following = false;
};

// The window background colour for every column, HighlightColor for one.
void HighlightColumn(TDBGrid& grid, int column);
