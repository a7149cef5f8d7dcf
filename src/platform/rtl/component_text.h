#pragma once
// The component stream as text: a component, its published properties and
// its named owned components, written and read through the published-property
// tables.
//
//   object Editor1: TEditor
//     Left = 0
//     Visible = True
//     Align = alClient
//     Options = [eoA, eoB]
//     Font.Name = 'Gothic'
//     Lines.Strings = (
//       'first'
//       'it''s'#9'tabbed')
//     Brackets = <
//       item
//         LeftBracket = '/*'
//       end>
//     PopupMenu = Menu1
//     object Menu1: TPopupMenu
//     end
//   end
//
// Strings are CP932 bytes between quotes, a quote doubled, bytes below 0x20
// (and 0x7F) as #nn. Owned sub-objects are flattened with dotted names; a
// string list as Name.Strings = (...), a collection as Name = <item ... end>.
// Component references are paths of names from the root, resolved once the
// whole tree is read.
#include <string>
#include <string_view>

#include "platform/rtl/component.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

// The text of root and of every named owned component with a property table,
// nested by ownership. Lines end with CR LF.
std::string WriteComponentText(TComponent& root);

// Reads text into rootOrOwner when the text's top object has rootOrOwner's
// class, and otherwise creates the top object as a component owned by
// rootOrOwner. Nested objects are read into an owned component of that name
// and class when one exists, else created through the registry. Each
// component read is csLoading meanwhile and gets Loaded() at the end, root
// first. Returns the top component.
//
// Malformed text, unknown classes, properties or references, and errors of
// property setters raise EReadError naming the line; the components created
// by the failed read are destroyed again.
TComponent* ReadComponentText(std::string_view text, TComponent& rootOrOwner, const TClassRegistry& registry);

}  // namespace corvida
