#pragma once

class QMdiArea;

namespace MdiArrange {

// "Мозайка": the visible child windows side by side, each as high as the
// area and all equally wide, in the order they were opened.
void tileVertically(QMdiArea &area);

} // namespace MdiArrange
