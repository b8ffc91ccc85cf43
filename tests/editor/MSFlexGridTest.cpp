// The channel grid as the view drives it: current-cell events and their order, what the user
// can reach, cell texts, twips measures, alignment and the look of fixed cells.
#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "MSFlexGrid.h"

namespace {

// A grid whose window may claim another resolution, for twips that are not whole pixels.
class CTestGrid : public CMSFlexGrid {
public:
    using CMSFlexGrid::CMSFlexGrid;
    int m_nDpi = 0;  // 0: the platform's

protected:
    int metric(PaintDeviceMetric metric) const override {
        if (m_nDpi && (metric == PdmDpiX || metric == PdmDpiY)) {
            return m_nDpi;
        }
        return CMSFlexGrid::metric(metric);
    }
};

}  // namespace

class MSFlexGridTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    CTestGrid* m_grid = nullptr;
    QLineEdit* m_next = nullptr;  // the control after the grid in the focus chain
    QStringList m_log;            // "L r,c" / "E r,c": the cell each handler saw

    QModelIndex Index(int row, int col) const { return m_grid->model()->index(row, col); }
    QPoint Centre(int row, int col) const { return m_grid->visualRect(Index(row, col)).center(); }
    QString Cell() const { return QString("%1,%2").arg(m_grid->GetRow()).arg(m_grid->GetCol()); }
    void Click(int row, int col, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(m_grid->viewport(), button, modifiers, Centre(row, col));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(m_grid, key, modifiers);
    }
    // The table's current index must always be the grid's current cell.
    void VerifyTableInSync() const {
        QCOMPARE(m_grid->currentRow(), int(m_grid->GetRow()));
        QCOMPARE(m_grid->currentColumn(), int(m_grid->GetCol()));
    }
    // 1440 twips per inch: a whole number of twips per pixel at 96 dpi, not at 110.
    static void ResolutionData() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("platform") << 0;
        QTest::newRow("110 dpi") << 110;
    }

private slots:
    void init() {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_grid = new CTestGrid(m_window.get());
        m_next = new QLineEdit(m_window.get());
        layout->addWidget(m_grid);
        layout->addWidget(m_next);
        m_window->resize(640, 480);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        connect(m_grid, &CMSFlexGrid::LeaveCell, this, [this] { m_log << "L " + Cell(); });
        connect(m_grid, &CMSFlexGrid::EnterCell, this, [this] { m_log << "E " + Cell(); });
    }
    void cleanup() {
        m_window.reset();
        m_log.clear();
    }

    void startsAsTheFormStoresIt() {
        QCOMPARE(m_grid->GetRows(), 17L);
        QCOMPARE(m_grid->GetCols(), 9L);
        QCOMPARE(m_grid->GetFixedRows(), 1L);
        QCOMPARE(m_grid->GetFixedCols(), 1L);
        QCOMPARE(Cell(), QString("1,1"));
        QCOMPARE(m_grid->GetColSel(), 1L);
        VerifyTableInSync();
        QCOMPARE(m_grid->font().family(), QString("Times New Roman"));
        QCOMPARE(m_grid->font().pointSize(), 9);
        QCOMPARE(m_grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!m_grid->tabKeyNavigation());
        // Every column starts at the same default width W0 and every row holds a line.
        const QFontMetrics metrics(m_grid->font());
        for (int col = 0; col < 9; ++col) {
            QCOMPARE(m_grid->columnWidth(col), m_grid->columnWidth(0));
            QVERIFY(m_grid->columnWidth(col) >= metrics.horizontalAdvance("462.56250"));
        }
        for (int row = 0; row < 17; ++row) {
            QVERIFY(m_grid->rowHeight(row) >= metrics.height());
        }
        QVERIFY(m_grid->GetTextMatrix(5, 5).isEmpty());
    }

    void programMovesRaiseLeaveThenEnter() {
        m_grid->SetRow(3);
        m_grid->SetCol(5);
        QCOMPARE(m_log, QStringList({"L 1,1", "E 3,1", "L 3,1", "E 3,5"}));
        VerifyTableInSync();
        m_log.clear();
        m_grid->SetRow(3);
        m_grid->SetCol(5);
        m_grid->SetRow(17);  // out of range: ignored
        m_grid->SetCol(-1);
        QVERIFY(m_log.isEmpty());
        QCOMPARE(Cell(), QString("3,5"));
        m_grid->SetRow(0);             // the program may make a fixed cell current
        m_grid->setCurrentCell(4, 2);  // so may the table's own interface, with the same events
        QCOMPARE(m_log, QStringList({"L 3,5", "E 0,5", "L 0,5", "E 4,2"}));
        VerifyTableInSync();
    }

    void handlersMayMoveTheCellThemselves() {
        // The Enter key's advance: entering W/N moves on at once.
        auto advance = connect(m_grid, &CMSFlexGrid::EnterCell, this, [this] {
            if (m_grid->GetCol() == 6) {
                m_grid->SetCol(7);
            }
        });
        m_grid->SetCol(6);
        disconnect(advance);
        QCOMPARE(m_log, QStringList({"L 1,1", "E 1,6", "L 1,6", "E 1,7"}));
        VerifyTableInSync();
        // A move inside LeaveCell enters its cell; the caller's move then leaves it and wins.
        m_log.clear();
        auto detour = connect(m_grid, &CMSFlexGrid::LeaveCell, this, [this] {
            if (m_grid->GetCol() == 7) {
                m_grid->SetCol(3);
            }
        });
        m_grid->SetCol(2);
        disconnect(detour);
        QCOMPARE(m_log, QStringList({"L 1,7", "E 1,3", "L 1,3", "E 1,2"}));
        VerifyTableInSync();
    }

    void userMovesStayOffFixedCells() {
        Click(4, 2);
        QCOMPARE(m_log, QStringList({"L 1,1", "E 4,2"}));
        m_log.clear();
        Click(0, 3);
        Click(6, 0);
        Click(0, 0);
        QVERIFY(m_log.isEmpty());
        Key(Qt::Key_Left);
        Key(Qt::Key_Left);  // column 0 is fixed: nothing happens
        QCOMPARE(m_log, QStringList({"L 4,2", "E 4,1"}));
        for (int i = 0; i < 5; ++i) {
            Key(Qt::Key_Up);
        }
        QCOMPARE(Cell(), QString("1,1"));
        Key(Qt::Key_End);
        QCOMPARE(Cell(), QString("1,8"));
        Key(Qt::Key_Right);
        QCOMPARE(Cell(), QString("1,8"));
        Key(Qt::Key_Home);
        QCOMPARE(Cell(), QString("1,1"));
        Key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(Cell(), QString("16,8"));
        Key(Qt::Key_PageUp);
        QVERIFY(m_grid->GetRow() >= 1 && m_grid->GetRow() < 16);
        Key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(Cell(), QString("1,1"));
        Key(Qt::Key_PageDown);
        QVERIFY(m_grid->GetRow() > 1);
        VerifyTableInSync();
    }

    void tabLeavesTheGrid() {
        QList<short> keys;
        connect(m_grid, &CMSFlexGrid::KeyPress, this, [&](short* key) { keys << *key; });
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_grid->setFocus();
        QTRY_VERIFY(m_grid->hasFocus());
        Key(Qt::Key_Tab);
        QTRY_VERIFY(m_next->hasFocus());
        QVERIFY(keys.isEmpty());
        QVERIFY(m_log.isEmpty());
    }

    void keyPressComesFirstAndMayCancelTheKey() {
        QList<short> keys;
        connect(m_grid, &CMSFlexGrid::KeyPress, this, [&](short* key) {
            keys << *key;
            if (*key == 27) {
                *key = 0;  // the handler takes Escape for itself
            }
        });
        Key(Qt::Key_A);
        Key(Qt::Key_5);
        Key(Qt::Key_Backspace);
        Key(Qt::Key_Right);  // navigation: no KeyPress
        Key(Qt::Key_Delete);
        QCOMPARE(keys, QList<short>({'a', '5', 8}));
        QCOMPARE(Cell(), QString("1,2"));
        // A control character goes on to the parent unless the handler cancelled it.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(m_grid, &enter);
        QVERIFY(!enter.isAccepted());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
        QApplication::sendEvent(m_grid, &escape);
        QVERIFY(escape.isAccepted());
        QCOMPARE(keys.mid(3), QList<short>({13, 27}));
    }

    void mouseDownComesAfterTheMove() {
        connect(m_grid, &CMSFlexGrid::MouseDown, this, [this](short b, short s, long x, long y) {
            m_log << QString("D %1 %2 %3 %4 at %5").arg(b).arg(s).arg(x).arg(y).arg(Cell());
        });
        auto down = [this](int row, int col, short button, short shift) {
            const QPoint p = m_grid->viewport()->mapTo(m_grid, Centre(row, col));
            return QString("D %1 %2 %3 %4 at ")
                .arg(button)
                .arg(shift)
                .arg(m_grid->PixelsToTwipsX(p.x()))
                .arg(m_grid->PixelsToTwipsY(p.y()));
        };
        Click(6, 3);
        QCOMPARE(m_log, QStringList({"L 1,1", "E 6,3", down(6, 3, 1, 0) + "6,3"}));
        m_log.clear();
        Click(8, 4, Qt::RightButton, Qt::ControlModifier);  // a right press leaves the cell
        Click(2, 2, Qt::MiddleButton, Qt::ShiftModifier | Qt::AltModifier);
        QCOMPARE(m_log, QStringList({down(8, 4, 2, 2) + "6,3", down(2, 2, 4, 5) + "6,3"}));

        int doubleClicks = 0;
        connect(m_grid, &CMSFlexGrid::DblClick, this, [&] { ++doubleClicks; });
        Click(5, 5);  // a double click starts with an ordinary click
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, Centre(5, 5));
        QTest::mouseRelease(m_grid->viewport(), Qt::LeftButton, {}, Centre(5, 5));
        QCOMPARE(doubleClicks, 1);
        QCOMPARE(Cell(), QString("5,5"));
    }

    void colSelIsTheOtherEndOfTheSelection() {
        Click(2, 2);
        QCOMPARE(m_grid->GetColSel(), 2L);
        m_log.clear();
        Click(2, 5, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(m_grid->GetColSel(), 5L);
        QCOMPARE(Cell(), QString("2,2"));  // the current cell is the anchor
        QVERIFY(m_log.isEmpty());
        QVERIFY(m_grid->selectionModel()->isSelected(Index(2, 4)));
        QVERIFY(!m_grid->selectionModel()->isSelected(Index(2, 6)));
        Key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(m_grid->GetColSel(), 6L);
        Click(3, 3);
        QCOMPARE(m_grid->GetColSel(), 3L);
        QVERIFY(m_grid->selectionModel()->selectedIndexes().isEmpty());
        Key(Qt::Key_Left, Qt::ShiftModifier);
        Key(Qt::Key_Left, Qt::ShiftModifier);
        Key(Qt::Key_Left, Qt::ShiftModifier);  // stops at the first non-fixed column
        QCOMPARE(m_grid->GetColSel(), 1L);
        m_grid->SetCol(4);
        QCOMPARE(m_grid->GetColSel(), 4L);
    }

    void writingCellsNeverMovesTheCurrentCell() {
        m_grid->SetRow(2);
        m_grid->SetCol(3);
        m_log.clear();
        m_grid->SetTextMatrix(5, 6, "Narrow");
        m_grid->SetTextMatrix(0, 0, "CH");
        m_grid->SetText("OFF");
        QVERIFY(m_log.isEmpty());
        QCOMPARE(Cell(), QString("2,3"));
        QCOMPARE(m_grid->GetTextMatrix(2, 3), QString("OFF"));
        QCOMPARE(m_grid->GetTextMatrix(0, 0), QString("CH"));
        m_grid->SetRow(5);
        m_grid->SetCol(6);
        QCOMPARE(m_grid->GetText(), QString("Narrow"));
        m_grid->SetTextMatrix(17, 0, "x");
        m_grid->SetTextMatrix(0, 9, "x");
        m_grid->SetTextMatrix(-1, -1, "x");
        QVERIFY(m_grid->GetTextMatrix(17, 0).isEmpty());
        QVERIFY(m_grid->GetTextMatrix(-1, 3).isEmpty());
        // The view commits an edit while leaving: the text lands in the cell being left.
        connect(m_grid, &CMSFlexGrid::LeaveCell, this, [this] { m_grid->SetText("committed"); });
        m_grid->SetCol(7);
        QCOMPARE(m_grid->GetTextMatrix(5, 6), QString("committed"));
        QVERIFY(m_grid->GetText().isEmpty());
    }

    void twipsRoundTrip_data() { ResolutionData(); }
    void twipsRoundTrip() {
        QFETCH(int, dpi);
        m_grid->m_nDpi = dpi;
        for (int pixels = 0; pixels < 300; ++pixels) {
            QCOMPARE(m_grid->TwipsToPixelsX(m_grid->PixelsToTwipsX(pixels)), pixels);
            QCOMPARE(m_grid->TwipsToPixelsY(m_grid->PixelsToTwipsY(pixels)), pixels);
        }
        const long w0 = m_grid->GetColWidth(1);
        m_grid->SetColWidth(1, w0);
        QCOMPARE(m_grid->GetColWidth(1), w0);
        // Widths are whole pixels: a width reads back at most one pixel's worth of twips
        // below the request, never above it.
        const long wide = static_cast<long>(w0 * 1.2);
        m_grid->SetColWidth(1, wide);
        QVERIFY(m_grid->GetColWidth(1) <= wide);
        QVERIFY(wide - m_grid->GetColWidth(1) < m_grid->PixelsToTwipsX(1));
        QVERIFY(m_grid->GetColWidth(1) > w0);
        const long h0 = m_grid->GetRowHeight(0);
        const long tall = static_cast<long>(h0 * 1.02);
        m_grid->SetRowHeight(0, tall);
        QVERIFY(m_grid->GetRowHeight(0) <= tall);
        QVERIFY(tall - m_grid->GetRowHeight(0) < m_grid->PixelsToTwipsY(1));
        QCOMPARE(m_grid->GetRowHeight(1), h0);
    }

    void cellMeasuresPlaceAChildOverTheCell_data() { ResolutionData(); }
    void cellMeasuresPlaceAChildOverTheCell() {
        QFETCH(int, dpi);
        m_grid->m_nDpi = dpi;
        m_grid->SetColWidth(1, m_grid->GetColWidth(1) * 2);
        // Small enough to scroll, wide enough for the widened column in any system's font.
        m_window->resize(std::max(260, m_grid->TwipsToPixelsX(m_grid->GetColWidth(1)) + 120), 180);
        QTest::qWait(0);
        QVERIFY(m_grid->viewport()->pos() != QPoint(0, 0));  // inside the frame
        QWidget child(m_grid);
        for (const auto& [row, col] : {std::pair{1, 1}, {16, 8}, {7, 1}, {0, 4}}) {
            m_grid->SetRow(row);
            m_grid->SetCol(col);
            child.setGeometry(m_grid->TwipsToPixelsX(m_grid->GetCellLeft()),
                              m_grid->TwipsToPixelsY(m_grid->GetCellTop()),
                              m_grid->TwipsToPixelsX(m_grid->GetCellWidth()),
                              m_grid->TwipsToPixelsY(m_grid->GetCellHeight()));
            const QRect cell =
                m_grid->visualRect(Index(row, col)).translated(m_grid->viewport()->pos());
            QCOMPARE(child.geometry(), cell);
            QVERIFY(m_grid->viewport()->geometry().contains(cell));  // scrolled into view
        }
    }

    void columnAlignmentAppliesToOldAndNewTexts() {
        m_grid->SetTextMatrix(3, 2, "450.00000");
        m_grid->SetTextMatrix(4, 2, "Wide");
        const int right = Qt::AlignRight | Qt::AlignVCenter;
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        QCOMPARE(m_grid->item(3, 2)->textAlignment(), right);  // general: numbers right
        QCOMPARE(m_grid->item(4, 2)->textAlignment(), left);
        m_grid->SetColAlignment(2, CMSFlexGrid::flexAlignCenterCenter);
        m_grid->SetColAlignment(2, 12);  // not an alignment: ignored
        m_grid->SetColAlignment(9, CMSFlexGrid::flexAlignRightTop);
        QCOMPARE(m_grid->GetColAlignment(2), short{4});
        m_grid->SetTextMatrix(5, 2, "x");
        m_grid->SetTextMatrix(0, 2, "Transmit(MHz)");
        m_grid->SetTextMatrix(4, 3, "OFF");
        for (int row : {0, 3, 4, 5}) {
            QCOMPARE(m_grid->item(row, 2)->textAlignment(), int(Qt::AlignCenter));
        }
        QCOMPARE(m_grid->item(4, 3)->textAlignment(), left);
    }

    void fixedCellsLookLikeHeadersAndTheCurrentCellIsNotHighlighted() {
        Click(3, 4);
        Click(5, 6, Qt::LeftButton, Qt::ShiftModifier);
        const QImage image = m_grid->viewport()->grab().toImage();
        const QColor button = m_grid->palette().color(QPalette::Button);
        const QColor base = m_grid->palette().color(QPalette::Base);
        QVERIFY(button != base);
        QCOMPARE(image.pixelColor(Centre(0, 4)), button);
        QCOMPARE(image.pixelColor(Centre(9, 0)), button);
        QCOMPARE(image.pixelColor(Centre(9, 4)), base);
        QCOMPARE(image.pixelColor(Centre(3, 4)), base);  // the anchor of the selection
        QVERIFY(image.pixelColor(Centre(4, 5)) != base);
    }
};

QTEST_MAIN(MSFlexGridTest)
#include "MSFlexGridTest.moc"
