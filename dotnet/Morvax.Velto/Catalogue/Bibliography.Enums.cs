// The enumerations of Morvax.Velto.Bibliography.

namespace Morvax.Velto.Bibliography;

public enum SourceType
{
    Art = 0,
    ArticleInAPeriodical = 1,
    Book = 2,
    BookSection = 3,
    Case = 4,
    Conference = 5,
    DocumentFromInternetSite = 6,
    ElectronicSource = 7,
    Film = 8,
    InternetSite = 9,
    Interview = 10,
    JournalArticle = 11,
    Report = 12,
    Misc = 13,
    Patent = 14,
    Performance = 15,
    Proceedings = 16,
    SoundRecording = 17,
}
