#include "meeting/link_path.h"

namespace kraylo {

PathKind ChoosePath(const PathFacts& facts, double now) {
  if (facts.address_hidden) return PathKind::kRelayed;
  if (facts.own_port_varies && facts.peer_port_varies) return PathKind::kRelayed;
  if (facts.heard_probe && facts.answered) return PathKind::kDirect;
  if (now - facts.started >= kDirectPathWait) return PathKind::kRelayed;
  return PathKind::kUndecided;
}

}  // namespace kraylo
