// The flowchart canvas as a screen reader sees it: a canvas named after the
// routine shown, with one child per block (its kind and caption, where its
// arrows lead, whether it is selected), in reading order. Blocks placed or
// removed and the block chosen are announced as they happen.
#pragma once

class QObject;

namespace koru::flow {

// Makes FlowCanvas widgets answer with the interface above; once per program.
void InstallFlowCanvasAccessibility();

} // namespace koru::flow
