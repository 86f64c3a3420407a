#include "engine/folder_error_form.h"

#include "engine/msg_base_form_win.h"
#include "engine/msg_form_rules.h"

namespace ks {

TFrmFolderError::TFrmFolderError() {
    Parts& p = Controls();
    p.className = "TFrmFolderError";
    p.clientWidth = kClientWidth;
    p.clientHeight = kClientHeight;
    p.fondo.SetStyle(gsRadialT);

    TFontSpec title = p.lbMsg.Font();
    title.color = Rgb(251, 196, 4);
    title.height = -19;
    p.lbMsg.SetFont(title);
    p.lbMsg.SetBounds(168, 14, 281, 25);
    p.lbMsg.SetCaption("Invalid installation folders");
    p.lbMsg.SetVisible(false);

    TFontSpec maroon = p.lbMsg.Font();
    maroon.color = clMaroon;
    maroon.height = -13;
    p.Label2.SetFont(maroon);
    p.Label2.SetBounds(40, 56, 281, 16);
    p.Label2.SetCaption("Setup could not write on selected folders");
    p.Label2.SetVisible(true);

    TFontSpec white = maroon;
    white.color = clWhite;
    white.height = -11;
    p.Label1.SetFont(white);
    p.Label1.SetBounds(40, 96, 404, 78);
    p.Label1.SetCaption(FolderErrorExplanation());
    p.Label1.SetVisible(true);

    p.btOk.SetBounds(360, 224, p.btOk.Width(), p.btOk.Height());
    p.btOk.SetVisible(false);
    p.btKo.SetBounds(40, 200, 113, 33);
    p.btKo.SetCaption("Ok");
    p.btKo.SetColorBorder(clSilver);
    p.btKo.SetModalResult(mrOk);
}

} // namespace ks
