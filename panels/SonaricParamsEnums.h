// The preference enumerations shared by the editor's preferences store and the panels library,
// stored as plain integers in the settings.
#ifndef SONARICPARAMSENUMS_H
#define SONARICPARAMSENUMS_H

struct SonaricEnums {
    enum EImportStereo {
        ImportKeepStereo = -1,
        ImportAsk = 0,
        ImportConvertMono = 1,
        ConvertAsk = 20,
        ConvertOverwrite = 21,
        ConvertWithSuffix = 22,
        ConvertOtherName = 23
    };
    enum EUpdateSearch { UpdateAndDownload = 1, UpdateCheckOnly = 2, UpdateOnRequest = 3 };
    enum ENotMuteLevel { NotMuteAsk = 0, NotMuteMinLevel = 1, NotMuteNoMinLevel = 2 };
};

namespace Snc {
// The song metadata items of the project property panel.
enum EMediaSong {
    Album = 0,
    Title = 1,
    Year = 2,
    Author = 3,
    Copyright = 4,
    Style = 5,
    BandLink = 6,
    ITunesLink = 7
};
} // namespace Snc

#endif
