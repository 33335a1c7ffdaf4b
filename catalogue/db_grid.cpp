#include "catalogue/db_grid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include "seged/colors.h"
#include "seged/globals.h"
#include "table/field.h"
#include "table/mem_table.h"

namespace {
constexpr std::int32_t WindowColor = static_cast<std::int32_t>(0xFF000005u);
constexpr int IndicatorWidth = 12;
constexpr int WheelNotch = 120;

// Fills the canvas the grid way and hands the cell to the owner.
class TCellDelegate : public QStyledItemDelegate {
public:
    explicit TCellDelegate(TDBGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) { }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette& palette = option.palette;
        TCellCanvas canvas{*painter, option.rect,
                           selected ? palette.color(QPalette::Active, QPalette::Highlight)
                                    : m_grid.ColumnColor(index.column()),
                           selected ? palette.color(QPalette::Active, QPalette::HighlightedText)
                                    : palette.color(QPalette::Active, QPalette::Text),
                           option.font};
        painter->save();
        if (m_grid.DrawColumnCell)
            m_grid.DrawColumnCell(canvas, index.row(), index.column(), selected);
        else
            DefaultDrawColumnCell(canvas, index.data().toString());
        painter->restore();
    }

private:
    TDBGrid& m_grid;
};
}  // namespace

// --- model ---

TDBGridModel::TDBGridModel(std::vector<TGridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{ }

QString TDBGridModel::FieldText(int row, const QString& fieldName) const
{
    const TqorMemTable* table = DataSet();
    if (!table || !table->Active() || row < 0 || row >= table->CountRecords())
        return {};
    const TField* field = table->FindField(fieldName.toStdString());
    if (!field)
        return {};
    const TValue value = table->RecordValue(row, field->Index());
    return IsNull(value) ? QString() : QString::fromStdString(field->ToText(value));
}

int TDBGridModel::CurrentRow() const
{
    const TqorMemTable* table = DataSet();
    const int number = table ? table->RecordNumber() : -1;
    return number > 0 ? number - 1 : -1;
}

void TDBGridModel::MoveToRow(int row)
{
    TqorMemTable* table = DataSet();
    if (!table || !table->Active() || row < 0 || row >= table->CountRecords())
        return;
    int current = CurrentRow();
    if (row == current)
        return;
    // The table moves forward only; a move back starts at the first record.
    if (current < 0 || row < current) {
        table->MoveFirst();
        current = 0;
    }
    for (; current < row; ++current)
        table->MoveNext();
}

int TDBGridModel::rowCount(const QModelIndex& parent) const
{
    const TqorMemTable* table = DataSet();
    if (parent.isValid() || !table || !table->Active())
        return 0;
    return table->CountRecords();
}

int TDBGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return FieldText(index.row(), m_columns.at(static_cast<std::size_t>(index.column())).FieldName);
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columnCount()
                   ? m_columns.at(static_cast<std::size_t>(section)).Title
                   : QVariant();
    // The row indicator marks the current record.
    return section == CurrentRow() ? QStringLiteral("\u25B8") : QString();
}

void TDBGridModel::RecordChanged(TField* field)
{
    const int rows = rowCount();
    if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
    if (!field)
        emit currentRowChanged(CurrentRow());
}

void TDBGridModel::StateChanged()
{
    Reset();
}

void TDBGridModel::LayoutChanged()
{
    Reset();
}

void TDBGridModel::DataSetChanged()
{
    Reset();
}

void TDBGridModel::Reset()
{
    beginResetModel();
    endResetModel();
    emit currentRowChanged(CurrentRow());
}

// --- drawing ---

void DefaultDrawColumnCell(TCellCanvas& canvas, const QString& text)
{
    canvas.Painter.fillRect(canvas.Rect, canvas.Brush);
    canvas.Painter.setFont(canvas.Font);
    canvas.Painter.setPen(canvas.FontColor);
    const QRect textRect = canvas.Rect.adjusted(2, 0, -2, 0);
    const QString shown = canvas.Painter.fontMetrics().elidedText(
        text, Qt::ElideNone, textRect.width(), Qt::TextSingleLine);
    canvas.Painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

// --- grid ---

TDBGrid::TDBGrid(TDBGridModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    m_model->setParent(this);
    setModel(m_model);
    setItemDelegate(new TCellDelegate(*this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);

    // The selected row looks the same with or without focus.
    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(IndicatorWidth);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);

    m_columnColors.assign(m_model->Columns().size(), ColorToQColor(WindowColor));
    for (int i = 0; i < static_cast<int>(m_model->Columns().size()); ++i)
        setColumnWidth(i, m_model->Columns()[static_cast<std::size_t>(i)].Width);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDBGrid::titleClicked);
    connect(m_model, &TDBGridModel::currentRowChanged, this, &TDBGrid::ShowCurrentRow);
}

QColor TDBGrid::ColumnColor(int column) const
{
    if (column < 0 || column >= static_cast<int>(m_columnColors.size()))
        return ColorToQColor(WindowColor);
    return m_columnColors[static_cast<std::size_t>(column)];
}

void TDBGrid::SetColumnColor(int column, const QColor& color)
{
    if (column < 0 || column >= static_cast<int>(m_columnColors.size()))
        return;
    m_columnColors[static_cast<std::size_t>(column)] = color;
    viewport()->update();
}

void TDBGrid::ShowCurrentRow(int row)
{
    m_following = true;
    if (row < 0) {
        clearSelection();
        setCurrentIndex({});
    } else {
        const QModelIndex target = m_model->index(row, qMax(0, currentIndex().column()));
        setCurrentIndex(target);
        selectRow(row);
        scrollTo(target);
    }
    m_following = false;
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_following && current.isValid())
        m_model->MoveToRow(current.row());
}

void TDBGrid::wheelEvent(QWheelEvent* event)
{
    event->accept();
    TurnWheel(event->angleDelta().y());
}

void TDBGrid::TurnWheel(int delta)
{
    if (delta == 0)
        return;
    // A notch (or a whole notch gathered from finer steps) moves one row:
    // away from the user up, towards the user down.
    m_wheelRemainder += delta;
    if ((m_wheelRemainder > 0) != (delta > 0))
        m_wheelRemainder = delta;
    const int rows = m_wheelRemainder / WheelNotch;
    m_wheelRemainder %= WheelNotch;
    const int current = m_model->CurrentRow();
    if (rows == 0 || current < 0)
        return;
    m_model->MoveToRow(qBound(0, current - rows, m_model->rowCount() - 1));
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit gridDoubleClicked();
}

void HighlightColumn(TDBGrid& grid, int column)
{
    for (int i = 0; i < grid.GridModel()->columnCount(); ++i)
        grid.SetColumnColor(i, ColorToQColor(WindowColor));
    grid.SetColumnColor(column, ColorToQColor(static_cast<std::int32_t>(HighlightColor)));
}
