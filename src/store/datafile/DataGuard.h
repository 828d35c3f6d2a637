// SPDX-License-Identifier: MIT
#pragma once

namespace store {

// The run's lock on saving. A load that failed beyond repair (or any other step that
// leaves the data in memory in doubt) sets XmlParserMissing; from then on nothing writes
// the channel data, so the files on disk are never replaced by an empty or partial tree.
// The application owns one and passes it to everything that saves or loads.
class DataGuard {
 public:
  bool XmlParserMissing() const { return xmlParserMissing_; }
  void SetXmlParserMissing() { xmlParserMissing_ = true; }
  void ClearXmlParserMissing() { xmlParserMissing_ = false; }

 private:
  bool xmlParserMissing_ = false;
};

}  // namespace store
