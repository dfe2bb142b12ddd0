// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/window_layout.h"

#include <array>

namespace velkarin {
namespace {

using enum ControlKind;
using enum ControlFont;
using enum ResultText;

constexpr QRgb red = qRgb(255, 0, 0);
constexpr QRgb blue = qRgb(0, 0, 255);
constexpr QRgb white = qRgb(255, 255, 255);
constexpr QRgb black = qRgb(0, 0, 0);
constexpr QRgb none = platformColour;

// Controls at the same place in both windows: the constants row, the rule,
// the output boxes with their captions and the result list.
constexpr std::array<ControlRow, 22> sharedControls{{
    {"Label13", Label, 616, 16, 17, 17, 26, Song, none, none, "A="},
    {"Combo1", ConstantA, 636, 12, 109, 27, 25, Song, none, none, ""},
    {"Label14", Label, 812, 16, 17, 17, 27, Song, none, none, "B="},
    {"Combo2", ConstantB, 832, 12, 109, 27, 24, Song, none, none, ""},
    {"Line1", Line, 44, 48, 1089, 3, noTabIndex, Window, red, none, ""},
    {"Text3", OutputBox, 136, 64, 93, 27, 2, Song, none, none, "", FreeEnergyChange},
    {"Text1", OutputBox, 300, 64, 93, 27, 5, Song, none, none, "", EquilibriumTemperature},
    {"Text2", OutputBox, 476, 64, 93, 27, 7, Song, none, none, "", EquilibriumPressure},
    {"Text4", OutputBox, 648, 64, 93, 27, 9, Song, none, none, "", ScanCarbon},
    {"Text5", OutputBox, 812, 64, 93, 27, 10, Song, none, none, "", ScanFreeEnergy},
    {"Text6", OutputBox, 944, 60, 93, 27, 11, Song, none, none, "", TrialCount},
    {"Label4", Label, 108, 100, 145, 21, 3, Window, none, none, "任意态下的反应自由能变值"},
    {"Label1", Label, 268, 100, 157, 21, 6, Window, none, none, "与给定状态相平衡的熔池温度"},
    {"Label2", Label, 436, 100, 173, 21, 8, Window, none, none, "与给定状态相平衡的CO分压值Pa"},
    {"Label3", Label, 624, 100, 153, 21, 12, Window, none, none, "与给定状态相平衡的C浓度值"},
    {"Label6", Label, 808, 100, 105, 21, 14, Window, none, none, "C浓度试算方程y值"},
    {"Label5", Label, 964, 100, 65, 21, 13, Window, none, none, "试算次数"},
    {"Text7", OutputBox, 476, 124, 93, 27, 15, Song, none, none, "", PressureFromConstant},
    {"Text8", OutputBox, 812, 124, 93, 27, 22, Song, blue, none, "", CarbonFromConstant},
    {"Label7", Label, 432, 160, 185, 21, 16, Window, none, none, "用平衡常数计算出来的CO分压值Pa"},
    {"Label12", Label, 648, 160, 501, 21, 23, Window, none, none,
     "由给定C浓度值计算出来的fc，由此，通过平衡常数计算出来平衡C浓度值，在高碳时误差大。"},
    {"List1", ResultList, 8, 188, 1197, 277, 4, SongBold, white, black, ""},
}};

// Form1: the Cr2O3 heading, four general notes and the buttons at top 488.
constexpr std::array<ControlRow, 8> form1Controls{{
    {"Label8", Label, 228, 16, 341, 21, 17, Song, none, none, "3[C]+Cr2O3=2[Cr]+3CO      ΔG=A+BT   "},
    {"Label9", Label, 12, 476, 649, 17, 18, Window, none, none,
     "1、C,Cr平衡的二项式可能不同，但在同一状态下，其计算的结果基本一致；"},
    {"Command1", CalculateButton, 820, 488, 85, 36, 0, Window, none, none, "计算"},
    {"Command2", ExitButton, 925, 488, 85, 36, 1, Window, none, none, "退出"},
    {"Command3", ClearListButton, 1031, 488, 85, 36, 21, Window, none, none, "清除列表"},
    {"Label10", Label, 12, 504, 717, 17, 19, Window, none, none,
     "2、温度一定，可以计算与C Cr平衡时的CO分压值；这是最常计算的平衡关系；"},
    {"Label11", Label, 12, 532, 717, 17, 20, Window, none, none,
     "3、浓度一定，可以计算与此平衡的熔池温度与CO分压的关系；"},
    {"Label15", Label, 12, 560, 717, 17, 28, Window, none, none,
     "4、分压一定，可以计算与此平衡的熔池温度与C浓度的关系；"},
}};

// Form2: the Cr3O4 heading, three verdicts for the default melt state (fixed
// texts, they do not follow the results) and the buttons at top 496.
constexpr std::array<ControlRow, 7> form2Controls{{
    {"Label8", Label, 188, 16, 401, 21, 17, Song, none, none, "3[C]+3/4Cr3O4=9/4[Cr]+3CO      ΔG=A+BT   "},
    {"Label9", Label, 8, 480, 649, 21, 18, Window, none, none,
     "1、在t=1650℃，Cr=18，纯吹氧下，脱碳要求的最低C浓度为0.3%。而给定的[%C]=0.35>0.3，满足脱碳要求，可脱碳。"},
    {"Command1", CalculateButton, 812, 496, 85, 36, 0, Window, none, none, "计算"},
    {"Command2", ExitButton, 916, 496, 85, 36, 1, Window, none, none, "退出"},
    {"Command3", ClearListButton, 1023, 496, 85, 36, 21, Window, none, none, "清除列表"},
    {"Label10", Label, 8, 516, 717, 17, 19, Window, none, none,
     "2、在t=1650℃，C=0.35,Cr=18下，脱碳要求的最大CO分压为121437Pa。而给定的CO分压为101325Pa<121437，满足脱碳要求，"
     "可脱碳。"},
    {"Label11", Label, 8, 552, 717, 17, 20, Window, none, none,
     "3、在C=0.35,Cr=18，纯吹氧下，脱碳要求的最低温度为1626℃。而实际熔池温度1650℃>1626℃，满足脱碳要求，可脱碳。"},
}};

constexpr WindowLayout form1{"Form1", "Velkarin", Reaction::Cr2O3, 1211, 584, sharedControls, form1Controls};
constexpr WindowLayout form2{"Form2", "Velkarin", Reaction::Cr3O4, 1209, 592, sharedControls, form2Controls};

}  // namespace

const WindowLayout& windowLayout(Reaction reaction) { return reaction == Reaction::Cr2O3 ? form1 : form2; }

}  // namespace velkarin
