// Enabling and disabling, as the command line and the settings dialog both
// run them: the question, the change, and the box that reports it.
#include "service.h"

#include "resource.h"

namespace {

struct Flow {
    unsigned question, questionCaption;
    UINT questionStyle;
    bool (*change)();
    unsigned done, doneCaption, failed, failedCaption;
};

const Flow kEnable{IDS_ENABLE_QUESTION, IDS_ENABLE_QUESTION_CAPTION, MB_YESNO | MB_ICONQUESTION,
                   scm::Register, IDS_ENABLE_DONE, IDS_ENABLE_DONE_CAPTION, IDS_ENABLE_FAILED,
                   IDS_ENABLE_FAILED_CAPTION};
const Flow kDisable{IDS_DISABLE_QUESTION, IDS_DISABLE_QUESTION_CAPTION, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2,
                    scm::Remove, IDS_DISABLE_DONE, IDS_DISABLE_DONE_CAPTION, IDS_DISABLE_FAILED,
                    IDS_DISABLE_FAILED_CAPTION};

}  // namespace

Change RunChange(ChangeKind kind, const BoxFn& box, unsigned doneText)
{
    const Flow& flow = kind == ChangeKind::Enable ? kEnable : kDisable;
    const auto show = [&](unsigned text, unsigned caption, UINT style) {
        return box(hv::LoadText(text).c_str(), hv::LoadText(caption).c_str(), style);
    };
    if (show(flow.question, flow.questionCaption, flow.questionStyle) != IDYES)
        return Change::Declined;
    if (!flow.change()) {
        show(flow.failed, flow.failedCaption, MB_OK | MB_ICONSTOP);
        return Change::Failed;
    }
    show(doneText ? doneText : flow.done, flow.doneCaption, MB_OK | MB_ICONINFORMATION);
    return Change::Done;
}
