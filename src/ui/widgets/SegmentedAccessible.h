#pragma once
// The segmented control as assistive technology sees it. Its segments are
// painted, so Qt knows no widgets for them; these interfaces describe the
// control as a page tab list of page tabs (the tab switcher) or a group of
// radio buttons (the filters), each segment named by its label, with its
// selected or checked state and a press action that selects it.

class QAccessibleInterface;

namespace stowage {

class SegmentedControl;

namespace SegmentedAccessible {

// Registers the interfaces with Qt's accessibility (once per process).
void install();

// The interface of a segment; null when there is no such segment.
QAccessibleInterface* segment(SegmentedControl& control, int index);

// Tells assistive technology that the selection moved from `previous` to the
// control's current segment (and that the focus is on it, when it has focus).
void announceSelection(SegmentedControl& control, int previous);

// Tells assistive technology that the focus is on the current segment.
void announceFocus(SegmentedControl& control);

}  // namespace SegmentedAccessible

}  // namespace stowage
