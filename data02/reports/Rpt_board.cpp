#include "data02/reports/Rpt_board.h"

#include <string_view>

#include "data02/diag/Status.h"
#include "data02/league/Draftday.h"
#include "data02/model/Legqry.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_league.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

void writeNote(ReportGenerator& generator, std::string_view note) {
    generator.out().beginCenter();
    generator.out().writeStyled(note, true, false, false, true);
    generator.out().endCenter();
}

}  // namespace

DraftBoardPage draftBoardPage(Singleton& context, int league) {
    DraftBoardPage board;
    const League* found = context.leagueQuery().findOne(kLeagueId, league);
    board.title =
        kDraftBoardTitle + (found != nullptr ? found->text(kLeagueName) : kDraftBoardNoLeague);
    ReportGenerator generator(context);
    generator.openMemoryPage(kDraftBoardReport);
    if (found == nullptr) {
        writeNote(generator, kDraftBoardNoLeague);
    } else if (runDraftPage(generator, kDraftByRoundPage, league) != kOk) {
        writeNote(generator, kDraftBoardWaiting);
    } else if (const TrackDraft* latest = lastDraftedPick(context, league)) {
        board.latestRound = draftRoundCaption(latest->getValue(kDraftRound));
    }
    board.html = generator.closeMemoryPage();
    return board;
}

}  // namespace qff
