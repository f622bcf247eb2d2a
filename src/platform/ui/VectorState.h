#pragma once

namespace sonmetra::ui {

// Qt's raster engine can return from a fill with the upper halves of the AVX registers still in
// use. Until they are cleared, legacy SSE instructions pay a penalty on processors that track that
// state: in a live measurement the statistics took about twice as long. Clearing is one
// instruction where the processor has AVX and nothing elsewhere; SSE loops that run after a
// repaint call it first.
void clearUpperVectorState();

} // namespace sonmetra::ui
