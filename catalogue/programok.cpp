// The catalogue window: its parts, and its opening, showing, resizing and
// closing.
#include "catalogue/programok.h"

#include "seged/make_action.h"
#include "seged/reported.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "assets/assets.h"
#include "catalogue/catalogue_text.h"
#include "desktop/open_address.h"
#include "seged/beall.h"
#include "seged/form_position.h"
#include "seged/globals.h"
#include "seged/locale_collation.h"
#include "seged/make_action.h"
#include "seged/message_boxes.h"
#include "seged/reported.h"
#include "table/file_io.h"

#include <cmath>
#include <exception>

Tfrm_Programok* frm_Programok = nullptr;

namespace {
const QString FormSection = QStringLiteral("frm_Programok");
constexpr int DesignWidth = 868;
constexpr int DesignHeight = 579;

QIcon Picture(const QString& name, qreal ratio)
{
    return QIcon(
        RenderPicture(QStringLiteral(":/pictures/%1.svg").arg(name), QSize(16, 16), ratio));
}
}  // namespace

std::array<int, 4> CatalogueColumnWidths(int gridWidth)
{
    const double w = gridWidth - 132;
    // rint rounds halves to the even number in the default rounding mode.
    const auto part = [w](double share) { return qMax(0, static_cast<int>(std::rint(share * w))); };
    return {part(0.2), part(0.2), part(0.6), 88};
}

Tfrm_Programok::Tfrm_Programok(TProgramokHooks hooks, QWidget* parent)
    : QDialog(parent), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("frm_Programok"));
    setWindowTitle(QStringLiteral("Programok, letöltések"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(false);
    setFont(QFont(QStringLiteral("Segoe UI"), font().pointSize()));
    resize(DesignWidth, DesignHeight);

    DefineCatalogueFields(Tbl);
    Tbl.SortFields = "programok";
    Tbl.DefaultFormat = &qorCSVStreamFormat1;
    Tbl.SetTextCompare(MakeCollatorTextCompare());
    Tbl.AfterScroll = [this](TqorMemTable&) { TblAfterScroll(); };

    BuildActions();
    BuildWindow();
    FormCreate();
}

Tfrm_Programok::~Tfrm_Programok()
{
    // The grid's link outlives the table otherwise (children go last).
    DBGrid1->GridModel()->SetDataSource(nullptr);
    Tbl.AfterScroll = nullptr;
}

void Tfrm_Programok::BuildActions()
{
    const qreal ratio = devicePixelRatioF();
    // Caption, hint and picture are literals side by side at every call.
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
    const auto make = [this, ratio](const char* name, const QString& caption, const QString& hint,
                                    const QString& picture, const QList<QKeySequence>& keys,
                                    void (Tfrm_Programok::*handler)()) {
        QAction* action = MakeAction(this, name, caption, keys, handler);
        action->setIcon(Picture(picture, ratio));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        return action;
    };
    aFrissit = make("aFrissit", QStringLiteral("Lista frissítés"),
                    QStringLiteral("Lista frissítés"), QStringLiteral("frissit"),
                    {QKeySequence(Qt::Key_F5)}, &Tfrm_Programok::aFrissitExecute);
    aLetolt =
        make("aLetolt", QStringLiteral("Megnyit"), QStringLiteral("Honlap megnyitás"),
             QStringLiteral("villam"), {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
             &Tfrm_Programok::aLetoltExecute);
    aMasol = make("aMasol", QStringLiteral("Link másolása"), QStringLiteral("Link másolása"),
                  QStringLiteral("lapok"), {QKeySequence(Qt::CTRL | Qt::Key_M)},
                  &Tfrm_Programok::aMasolExecute);
    aBezar = make("aBezar", QStringLiteral("Bezár"), QStringLiteral("Bezár"),
                  QStringLiteral("narancs_kereszt"), {QKeySequence(Qt::CTRL | Qt::Key_F4)},
                  &Tfrm_Programok::aBezarExecute);
    m_tick = RenderPicture(QStringLiteral(":/pictures/zold_pipa.svg"), QSize(16, 16), ratio);
    m_cross = RenderPicture(QStringLiteral(":/pictures/piros_kereszt.svg"), QSize(16, 16), ratio);
}

void Tfrm_Programok::BuildWindow()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(45);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->addAction(aFrissit);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aLetolt);
    ToolBar1->addAction(aMasol);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);
    for (QAction* action : {aFrissit, aLetolt, aMasol, aBezar})
        if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(action))) {
            // 81 by 38 at the least; wider where a caption needs it.
            button->setMinimumSize(81, 38);
            button->setAutoRaise(true);
        }

    auto* model =
        new TDBGridModel({{QStringLiteral("programok"), QStringLiteral("Program neve"), 155},
                          {QStringLiteral("kategoria"), QStringLiteral("Kategória"), 112},
                          {QStringLiteral("rovid"), QStringLiteral("Leírás"), 387},
                          {QStringLiteral("ingyenes"), QStringLiteral("Ingyenes?"), 88}});
    model->SetDataSource(&DataSource1);
    DBGrid1 = new TDBGrid(model, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->DrawColumnCell = [this](TCellCanvas& canvas, int row, int column, bool selected) {
        DBGrid1DrawColumnCell(canvas, row, column, selected);
    };
    // Sorting and launching work on the table, which reports errors by raising.
    connect(DBGrid1, &TDBGrid::titleClicked, this,
            [this](int column) { RunReported([this, column] { DBGrid1TitleClick(column); }); });
    connect(DBGrid1, &TDBGrid::gridDoubleClicked, this,
            [this] { RunReported([this] { aLetoltExecute(); }); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(aFrissit);
    PopupMenu1->addAction(aLetolt);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aMasol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(24);
    DBText2 = new QLabel(panel);
    DBText2->setObjectName(QStringLiteral("DBText2"));
    DBText2->setTextFormat(Qt::PlainText);
    QFont linkFont(QStringLiteral("Tahoma"), 8);
    linkFont.setUnderline(true);
    DBText2->setFont(linkFont);
    QPalette linkColours = DBText2->palette();
    linkColours.setColor(QPalette::WindowText, Qt::blue);
    DBText2->setPalette(linkColours);
    DBText2->setCursor(Qt::PointingHandCursor);
    DBText2->installEventFilter(this);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(4, 0, 4, 0);
    panelLayout->addWidget(DBText2);
    panelLayout->addStretch();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setFixedWidth(77);
    StatusPanel1->setAlignment(Qt::AlignCenter);
    StatusPanel2 = new QLabel(StatusBar1);
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel2->setFixedWidth(50);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(panel);
    layout->addWidget(StatusBar1);

    connect(model, &TDBGridModel::currentRowChanged, this,
            [this] { RunReported([this] { TblAfterScroll(); }); });
}

// --- life cycle ---

void Tfrm_Programok::FormCreate()
{
    // What an interrupted replacement of either file left behind.
    RemoveStaleTempFiles(TableFile().toStdString());
    RemoveStaleTempFiles(DownloadFileName().toStdString());
    Tbl.Open();
    if (!QFileInfo::exists(TableFile())) {
        RefreshList();
        return;
    }
    // A stored catalogue that does not read is only a copy of the server's;
    // the window opens anyway, so that a refresh can replace it.
    try {
        Tbl.ReadFromFile(TableFile().toStdString());
        Tbl.ApplySort();
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()), this);
        OpenTable();
    }
}

void Tfrm_Programok::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tfrm_Programok::FormShow()
{
    int left = 10;
    int top = 10;
    int width = this->width();
    int height = this->height();
    LoadFormBounds(FormSection, left, top, width, height);
    // The client area, as stored: the window manager's frame goes around it.
    setGeometry(left, top, width, height);
    HighlightColumn(*DBGrid1, 0);
    QFont dialogFont = font();
    dialogFont.setPointSize(Beall.DialogFontSize);
    setFont(dialogFont);
    FormResize();
}

void Tfrm_Programok::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void Tfrm_Programok::wheelEvent(QWheelEvent* event)
{
    event->accept();
    DBGrid1->TurnWheel(event->angleDelta().y());
}

void Tfrm_Programok::FormResize()
{
    if (!DBGrid1)
        return;
    const std::array<int, 4> widths = CatalogueColumnWidths(DBGrid1->width());
    for (int i = 0; i < 4; ++i)
        DBGrid1->setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
}

void Tfrm_Programok::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Tfrm_Programok::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    Tbl.Close();
    try {
        SaveFormBounds(FormSection, geometry().x(), geometry().y(), width(), height());
    } catch (const std::exception&) {
        // Like a position that cannot be stored: the window closes anyway.
    }
    if (m_hooks.CatalogueOpen)
        *m_hooks.CatalogueOpen = false;
}
