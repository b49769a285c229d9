#pragma once
// Streaming a component with the components it owns: how a form is saved
// and built again from its stream.
//
// Each component is written inside the one its class names as its parent
// (a control inside its parent control); the others, and controls whose
// parent is not part of the form, inside the root:
//
//   tree      := "ODC1" root
//   root      := className name properties 0x00 component* 0x00
//   component := className name placed properties 0x00 component* 0x00
//
// className and name are a length byte and the bytes; placed is 1 when the
// component is put into the one it is written inside (a control with a
// parent), 0 when it has no parent; properties are what
// TWriter::WriteProperties writes (see Filer.h).

#include <cstdint>

class TComponent;
class TStream;
class THandlerTable;

void WriteComponent(TStream& stream, TComponent& root);

// Reads a tree written by WriteComponent into root, whose class must be
// the one written.  Components are made by their registered class names,
// owned by root and put into their parents before their properties are
// read; a component root already owns under the same name and class is
// read into instead.  References between components are resolved at the
// end, event handlers are bound through handlers, and every component
// read is told Loaded.  On an error (EReadError naming the property, or
// EClassNotFound) the components made so far are freed again.
void ReadComponent(TStream& stream, TComponent& root, const THandlerTable* handlers = nullptr);
