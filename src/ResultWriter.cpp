#include "ResultWriter.h"

#include <cstdlib>

ResultWriter::Buffer ResultWriter::NewResultBuffer() {
  return Buffer(static_cast<char *>(std::malloc(DIRECTIVE_RESULT_CAPACITY)));
}
