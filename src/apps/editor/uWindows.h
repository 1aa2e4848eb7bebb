#pragma once
// TApplicationWindows: every window of the editor, created once at start-up in
// a fixed order and kept until the process ends. The main window comes first;
// the data holder opens the template tables right after the database window.
//
// Adding a window: declare its member after Form1_ (so it is destroyed before
// the main window; it may take &Form1() as its parent) and create it at its
// place in the constructor.
#include "ui/main/uPrincipal.h"

#include <memory>

namespace quillmark {

class Workspace;
class TFormAbout;
class TOKRightDlg;
class TForm5;
class TForm6;
class TForm2;
class TFormMP;
class TFormNC;
class TFormDLE;
class TFormSEV;
class TFormMSG;
class TFormTi;
class TFormTA;
class TTilesPage;
class TFramePreviews;

class TApplicationWindows {
public:
    explicit TApplicationWindows(Workspace& ws, TForm1::Options options = {});
    ~TApplicationWindows();
    TApplicationWindows(const TApplicationWindows&) = delete;
    TApplicationWindows& operator=(const TApplicationWindows&) = delete;

    TForm1& Form1() const { return *Form1_; }
    TOKRightDlg& OKRightDlg() const { return *OKRightDlg_; }
    TForm5& Form5() const { return *Form5_; }
    TForm6& Form6() const { return *Form6_; }
    TForm2& Form2() const { return *Form2_; }
    TFormMP& FormMP() const { return *FormMP_; }
    TFormAbout& FormAbout() const { return *FormAbout_; }
    TFormTi& FormTi() const { return *FormTi_; }
    TFormTA& FormTA() const { return *FormTA_; }
    TTilesPage& TilesPage() const { return *TilesPage_; }
    // The database window's frame previews and the fourteen frame-set editors.
    TFramePreviews& FramePreviews() const { return *FramePreviews_; }

private:
    Workspace& ws_;
    std::unique_ptr<TForm1> Form1_;
    // The other windows, in the order of creation.
    std::unique_ptr<TOKRightDlg> OKRightDlg_;
    std::unique_ptr<TForm5> Form5_;
    std::unique_ptr<TForm6> Form6_;
    std::unique_ptr<TFormTi> FormTi_;
    std::unique_ptr<TFramePreviews> FramePreviews_;
    std::unique_ptr<TForm2> Form2_;
    std::unique_ptr<TFormMP> FormMP_;
    std::unique_ptr<TFormTA> FormTA_;
    std::unique_ptr<TFormNC> FormNC_;
    std::unique_ptr<TFormDLE> FormDLE_;
    std::unique_ptr<TFormSEV> FormSEV_;
    std::unique_ptr<TFormMSG> FormMSG_;
    std::unique_ptr<TFormAbout> FormAbout_;
    // The "Tiles" page of the database window (its TilesPageLink), after its two editors.
    std::unique_ptr<TTilesPage> TilesPage_;
};

}  // namespace quillmark
