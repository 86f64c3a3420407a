// The message forms' drag frame and fixed texts.
#include "engine/msg_form_rules.h"

#include <gtest/gtest.h>

#include "skin/dpi_scale.h"

namespace ks {
namespace {

struct DragCase {
    const char* name;
    int x;
    int y;
    bool drags;
    int dpi = 96; // the form and its frame scale by it
};

class DragFrame : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragFrame, OnlyTheEdgesDrag) {
    const DragCase& c = GetParam();
    EXPECT_EQ(InMsgFormDragFrame(c.x, c.y, ScaleLength(499, c.dpi), ScaleLength(134, c.dpi), c.dpi),
              c.drags);
}

// Inner area of a 499x134 form: x from 30 to 467, y from 40 to 102.
INSTANTIATE_TEST_SUITE_P(MessageForm, DragFrame,
                         ::testing::Values(DragCase{"TenFromTheTop", 250, 10, true},
                                           DragCase{"MiddleOfTheMessage", 250, 64, false},
                                           DragCase{"LeftEdgeInside", 30, 64, false},
                                           DragCase{"LeftEdgeOutside", 29, 64, true},
                                           DragCase{"TopEdgeInside", 250, 40, false},
                                           DragCase{"TopEdgeOutside", 250, 39, true},
                                           DragCase{"RightEdgeInside", 467, 64, false},
                                           DragCase{"RightEdgeOutside", 468, 64, true},
                                           DragCase{"BottomEdgeInside", 250, 102, false},
                                           DragCase{"BottomEdgeOutside", 250, 103, true},
                                           DragCase{"Outside", -5, -5, true},
                                           // 749x201 at 150%: inner x 45..701, y 60..153.
                                           DragCase{"LeftEdgeOutsideAt150", 44, 100, true, 144},
                                           DragCase{"LeftEdgeInsideAt150", 45, 100, false, 144},
                                           DragCase{"BottomEdgeOutsideAt150", 250, 154, true, 144},
                                           // 998x268 at 200%: inner x 60..934, y 80..204.
                                           DragCase{"RightEdgeInsideAt200", 934, 150, false, 192},
                                           DragCase{"RightEdgeOutsideAt200", 935, 150, true, 192},
                                           DragCase{"TopEdgeOutsideAt200", 250, 79, true, 192}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FolderErrorText, SixLinesExactlyAsWritten) {
    const std::string text = FolderErrorExplanation();
    EXPECT_EQ(text, "Tipically this is due to protecting systems that block write access to \r\n"
                    "certain folders. Please, try the following:\r\n"
                    " \r\n"
                    "- Choose another folder.\r\n"
                    "- Configurate antivirus to not to block this setup application.\r\n"
                    "- Click on 'Safe Configuration' button, to set an alternate configuration.");
}

} // namespace
} // namespace ks
