#pragma once

class QMdiArea;

namespace MdiArrange {

// "Мозайка": the visible child windows side by side, each as high as the
// area and all equally wide, in the order they were opened; a window never
// gets less than its least size, and the others share the rest.
void tileVertically(QMdiArea &area);

} // namespace MdiArrange
