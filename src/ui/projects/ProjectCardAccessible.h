#pragma once
// The project cards as assistive technology sees them. The cards are painted,
// so Qt knows no widgets for them; these interfaces describe the card list as
// a list whose items are the cards (named by their titles), each holding its
// buttons as push buttons (the selection circle as a check box) with their
// names, enabled and focus states and a press action.

#include "ui/projects/ProjectCardLayout.h"

class QAccessibleInterface;

namespace stowage {

class ProjectCardList;

namespace ProjectCardAccessible {

// Registers the interfaces with Qt's accessibility (once per process).
void install();

// The interface of a card's button; null when the card or button is not there.
QAccessibleInterface* button(ProjectCardList& list, int row, CardAction action);

// Tells assistive technology that the card's selection circle was checked or unchecked.
void announceToggled(ProjectCardList& list, int row);

// Tells assistive technology that the keyboard focus is on this button.
void announceFocus(ProjectCardList& list, int row, CardAction action);

}  // namespace ProjectCardAccessible

}  // namespace stowage
