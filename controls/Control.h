#pragma once

namespace controls {

/// Where a windowless control lives: its parent window, which repaints the
/// control's area through the message queue or at once.
class ControlHost {
 public:
  virtual ~ControlHost() = default;
  /// Marks the control's area for the next repaint from the message queue.
  virtual void Invalidate() = 0;
  /// Paints the control's area now, without the message queue.
  virtual void PaintNow() = 0;
};

}  // namespace controls
