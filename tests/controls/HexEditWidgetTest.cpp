#include "tests/controls/HexEditFixture.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QWheelEvent>

namespace orvanel::test {
namespace {

using HexEditWidget = HexEditTest;

TEST_F(HexEditWidget, LayoutFitsTheViewportFromTheFirstShow)
{
    Show(CountingBytes(1000));  // 63 rows
    const int columns = int(Geometry().charX + Geometry().charColumnWidth) + 10;
    // Just wide enough until the vertical bar appears; then the columns need a horizontal
    // bar too, and it takes a row away.
    for (int width : {columns + 3, columns + 40, columns - 60}) {
        SCOPED_TRACE(width);
        Show(CountingBytes(1000), width, 300);
        const HexEditGeometry& g = Geometry();
        EXPECT_EQ(g.dataRight, Viewport()->width() - 5);
        EXPECT_EQ(g.dataBottom, Viewport()->height() - 5);
        EXPECT_EQ(Edit().horizontalScrollBar()->isVisible(), g.maxScrollX > 0);
        Edit().SetScrollRow(1000, true);
        EXPECT_EQ(Edit().GetScrollRow() + g.fullRows, 63u);
    }
}

TEST_F(HexEditWidget, OnlyFixedPitchFontsAreTaken)
{
    Show(CountingBytes(100));
    const QFont original = Edit().GetFont();
    const uint32_t lineHeight = Geometry().lineHeight;
    // Any proportional font the machine has is refused, through either way of setting it.
    const QStringList families = QFontDatabase::families();
    const auto proportional = std::find_if(families.begin(), families.end(), [](const QString& f) {
        return QFontMetrics(QFont(f)).horizontalAdvance('i') != QFontMetrics(QFont(f)).horizontalAdvance('W');
    });
    if (proportional != families.end()) {
        EXPECT_FALSE(Edit().SetFont(QFont(*proportional, 30), true));
        Edit().setFont(QFont(*proportional, 30));
        EXPECT_EQ(Edit().GetFont(), original);
    }
    QFont larger = original;
    larger.setPixelSize(30);
    EXPECT_TRUE(Edit().SetFont(larger, true));
    Viewport()->repaint();
    EXPECT_GT(Geometry().lineHeight, lineHeight);
}

TEST_F(HexEditWidget, ScrollBarsFollowTheRowsAndColumns)
{
    Show(CountingBytes(1000), 300, 200);  // 63 rows, too wide for the window
    QScrollBar* vertical = Edit().verticalScrollBar();
    ResizeToRows(70);
    EXPECT_FALSE(vertical->isVisible());
    ResizeToRows(10);  // less the horizontal bar
    const int page = int(Geometry().fullRows);
    ASSERT_TRUE(vertical->isVisible());
    EXPECT_EQ(vertical->maximum(), 63 - page);
    EXPECT_EQ(vertical->pageStep(), page);

    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Edit().GetScrollRow(), uint32_t(page - 1));
    vertical->setSliderPosition(30);
    EXPECT_EQ(Edit().GetScrollRow(), 30u);
    Edit().SetScrollRow(500, true);
    EXPECT_EQ(vertical->value(), 63 - page);
    ResizeToRows(60);  // growing lowers the row with the maximum
    EXPECT_EQ(Edit().GetScrollRow(), 63 - Geometry().fullRows);

    QScrollBar* horizontal = Edit().horizontalScrollBar();
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Edit().GetScrollX(), Geometry().charWidth);

    Edit().SetData(nullptr, 0, true);
    Viewport()->repaint();
    Settle();
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
}

TEST_F(HexEditWidget, WheelScrollsOneRowANotchOverRowsAndBar)
{
    Show(CountingBytes(1000));
    ResizeToRows(10);
    Edit().SetScrollRow(10, true);
    const struct {
        bool onBar;
        int delta;
        uint32_t row;
    } steps[] = {{false, 240, 8}, {false, 60, 8}, {false, -120, 9}, {true, -120, 10},
        {true, 240, 8}, {false, 120 * 50, 0}};
    for (const auto& step : steps) {
        QWidget* target = step.onBar ? static_cast<QWidget*>(Edit().verticalScrollBar()) : Viewport();
        const QPointF point(2, 10);
        QWheelEvent wheel(point, target->mapToGlobal(point), QPoint(), QPoint(0, step.delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        EXPECT_EQ(Edit().GetScrollRow(), step.row) << step.onBar << " " << step.delta;
    }
}

}  // namespace
}  // namespace orvanel::test
