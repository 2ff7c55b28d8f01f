#pragma once

// The library's units as a form designer installs them. Each unit that defines
// a component has a Register() that announces its one class on the palette page
// "dvTools" (dvtRegistry.h); a non-visual component is announced with its face
// (dvtComponentFace.h). Nothing here runs unless it is called: applications need
// none of it, and no unit does any work of its own when the library is loaded.
namespace dvCheckListBox {
void Register();
}
namespace dvControlPanel {
void Register();
}
namespace dvQuery {
void Register();
}
namespace dvDate {
void Register();
}
namespace dvGrid {
void Register();
}
namespace dvValue {
void Register();
}
namespace dvEdit {
void Register();
}
namespace dvMemo {
void Register();
}
namespace dvCheckBox {
void Register();
}
namespace dvButton {
void Register();
}
namespace dvKey {
void Register();
}
namespace dvTime {
void Register();
}
namespace dvComboBox {
void Register();
}
namespace dvShortCut {
void Register();
}
namespace dvRadioButton {
void Register();
}

namespace dvt {

// Runs the units' Register() in the package's order (the order above). Calling
// it again registers nothing new.
void RegisterPackage();

} // namespace dvt
