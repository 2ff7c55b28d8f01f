#include "dvPackage.h"

#include "dvButton.h"
#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvControlPanelFace.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvGrid.h"
#include "dvKey.h"
#include "dvMemo.h"
#include "dvQueryFace.h"
#include "dvRadioButton.h"
#include "dvShortCutFace.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtRegistry.h"

namespace {

template<class Component, class Widget = Component>
void RegisterClass()
{
    dvt::RegisterComponents(QStringLiteral("dvTools"), {dvt::ClassOf<Component, Widget>()});
}

} // namespace

// clang-format off
void dvCheckListBox::Register() { RegisterClass<TdvCheckListBox>(); }
void dvControlPanel::Register() { RegisterClass<TdvControlPanel, TdvControlPanelFace>(); }
void dvQuery::Register() { RegisterClass<TdvQuery, TdvQueryFace>(); }
void dvDate::Register() { RegisterClass<TdvDate>(); }
void dvGrid::Register() { RegisterClass<TdvGrid>(); }
void dvValue::Register() { RegisterClass<TdvValue>(); }
void dvEdit::Register() { RegisterClass<TdvEdit>(); }
void dvMemo::Register() { RegisterClass<TdvMemo>(); }
void dvCheckBox::Register() { RegisterClass<TdvCheckBox>(); }
void dvButton::Register() { RegisterClass<TdvButton>(); }
void dvKey::Register() { RegisterClass<TdvKey>(); }
void dvTime::Register() { RegisterClass<TdvTime>(); }
void dvComboBox::Register() { RegisterClass<TdvComboBox>(); }
void dvShortCut::Register() { RegisterClass<TdvShortCut, TdvShortCutFace>(); }
void dvRadioButton::Register() { RegisterClass<TdvRadioButton>(); }
// clang-format on

void dvt::RegisterPackage()
{
    using Register = void (*)();
    static constexpr Register units[] = {
        dvCheckListBox::Register, dvControlPanel::Register, dvQuery::Register,
        dvDate::Register,         dvGrid::Register,         dvValue::Register,
        dvEdit::Register,         dvMemo::Register,         dvCheckBox::Register,
        dvButton::Register,       dvKey::Register,          dvTime::Register,
        dvComboBox::Register,     dvShortCut::Register,     dvRadioButton::Register,
    };
    for (Register unit : units)
        unit();
}
