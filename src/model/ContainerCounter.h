// ContainerCounter: hands out the serial numbers that tell containers apart. Whoever reads the files of
// one comparison owns one counter and hands it to the reader for each file, so numbers continue from
// the first file into the second and a container read earlier has the smaller number.
#pragma once

#include <cstdint>

namespace carryover {

class ContainerCounter {
  public:
    // The next serial number: 0 first, then one more at each call.
    int64_t take() { return next_++; }

  private:
    int64_t next_ = 0;
};

} // namespace carryover
