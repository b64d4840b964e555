// The contents listing: one output line per record, markers left out.
#pragma once

#include <string>
#include <vector>

#include "logstore/LineStore.h"

namespace quorlet3 {

struct ContentsResult {
    int lines = 0;                  // slots walked: the size the user is asked about
    std::vector<std::string> rows;  // the listing's lines without their line ends
    bool lastRowOpen = false;       // the last row has no line end (its record is cut short)
};

ContentsResult ComputeContents(const LineStore& store);
std::string FormatContentsText(const ContentsResult& result);

}  // namespace quorlet3
