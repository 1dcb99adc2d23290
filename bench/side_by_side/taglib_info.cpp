// The reference for `sonalog info` in the side-by-side benchmark: reads each file named on the
// command line with TagLib's FileRef and its fastest audio-properties style, one process, one
// file after another, and prints one tab-separated line per file.

#include <cstdio>
#include <string>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>

int main(int argc, char** argv) {
  std::fputs("path\tstatus\tlengthMs\tbitrate\tsampleRate\tchannels\n", stdout);
  int exitCode = 0;
  for (int i = 1; i < argc; ++i) {
    TagLib::FileRef file(argv[i], true, TagLib::AudioProperties::Fast);
    const TagLib::AudioProperties* p = file.isNull() ? nullptr : file.audioProperties();
    if (!p) {
      std::printf("%s\tfailed\t0\t0\t0\t0\n", argv[i]);
      exitCode = 1;
      continue;
    }
    std::printf("%s\tok\t%d\t%d\t%d\t%d\n", argv[i], p->lengthInMilliseconds(), p->bitrate(), p->sampleRate(),
                p->channels());
  }
  return exitCode;
}
