#pragma once

namespace sonmetra::ui {

// Qt's raster engine can return from a fill with the upper halves of the AVX registers still in
// use. Until they are cleared, every SSE instruction that follows (the statistics, and most of
// Qt's own drawing) pays a penalty on processors that track that state: in a live measurement
// the statistics and the repaint took about twice as long. Clearing is one instruction where the
// processor has AVX and nothing elsewhere.
void clearUpperVectorState();

} // namespace sonmetra::ui
