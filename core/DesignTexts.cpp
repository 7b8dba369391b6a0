#include "core/DesignTexts.h"

#include <stdexcept>
#include <string>

namespace core {

namespace {

using W = WindowId;

constexpr std::string_view kForwardOrCancel = "[Weiter] zum Fortfahren, [Abbrechen] zum Verlassen.";

constexpr DesignText kTexts[] = {
    {W::Hauptprogramm, "", "Bitte warten..."},
    {W::Hauptprogramm, "Label1", "Setup für %s"},
    {W::Hauptprogramm, "Label2",
     "Bitte warten, der Tessarwolden-Assistent, der Sie durch die weitere Installation leiten "
     "wird, wird vorbereitet."},
    {W::Hauptprogramm, "Label3", ""},
    {W::Hauptprogramm, "Image1", ""},
    {W::Hauptprogramm, "ProgressBar1", ""},

    {W::Schritt1, "", "Willkommen."},
    {W::Schritt1, "Image1", ""},
    {W::Schritt1, "Label1", "Willkommen zum Tessarwolden-Assistenten für %s"},
    {W::Schritt1, "Label2", "Es wird jetzt %s auf Ihrem Computer installiert."},
    {W::Schritt1, "Label3",
     "Sie sollten alle anderen Anwendungen beenden, bevor Sie mit dem Setup fortfahren. So können "
     "etwaige Konflikte während der Installation vermieden werden."},
    {W::Schritt1, "Label4", kForwardOrCancel},
    {W::Schritt1, "Button2", "&Weiter"},
    {W::Schritt1, "Button1", "&Abbrechen"},

    {W::Schritt2, "", "Lizenz."},
    {W::Schritt2, "Label1", "Lizenzvereinbarung."},
    {W::Schritt2, "Label4", "Lesen Sie bitte den folgenden Lizenzvertrag."},
    {W::Schritt2, "Image1", ""},
    {W::Schritt2, "Memo1", ""},
    {W::Schritt2, "Label2",
     "Wenn Sie mit den Vereinbarungen einverstanden sind, klicken Sie bitte auf [Zustimmen], "
     "ansonsten auf [Ablehnen]. Dann wird jedoch Setup beendet und das Programm nicht "
     "installiert."},
    {W::Schritt2, "Button4", "&Zurück"},
    {W::Schritt2, "Button2", "&Zustimmen"},
    {W::Schritt2, "Button1", "&Ablehnen"},

    {W::Schritt3, "", "Informationen."},
    {W::Schritt3, "Label1", "Information."},
    {W::Schritt3, "Label4",
     "Lesen Sie bitte folgende wichtige Informationen bevor Sie fortfahren."},
    {W::Schritt3, "Image1", ""},
    {W::Schritt3, "Memo1", ""},
    {W::Schritt3, "Label2",
     "Klicken Sie auf [Weiter], sobald Sie bereit sind, mit dem Setup fortzufahren."},
    {W::Schritt3, "Button4", "&Zurück"},
    {W::Schritt3, "Button2", "&Weiter"},
    {W::Schritt3, "Button1", "&Abbrechen"},

    {W::Schritt4, "", "Installationsverzeichnis."},
    {W::Schritt4, "Label1", "Zielverzeichnis wählen."},
    {W::Schritt4, "Label4",
     "Bitte geben Sie an, in welchem Verzeichnis Sie %s installieren wollen:"},
    {W::Schritt4, "Image1", ""},
    {W::Schritt4, "Edit1", ""},
    {W::Schritt4, "DirTree1", ""},
    {W::Schritt4, "Label2", kForwardOrCancel},
    {W::Schritt4, "Button4", "&Zurück"},
    {W::Schritt4, "Button2", "&Weiter"},
    {W::Schritt4, "Button1", "&Abbrechen"},

    {W::Schritt5, "", "Benutzer."},
    {W::Schritt5, "Label1", "Benutzerdaten angeben."},
    {W::Schritt5, "Label4",
     "Bitte geben Sie Ihren Namen und (ggf.) Ihre Firma in den entsprechenden Eingabefeldern an."},
    {W::Schritt5, "Image1", ""},
    {W::Schritt5, "Edit1", ""},
    {W::Schritt5, "Edit2", ""},
    {W::Schritt5, "Label5", "Name:"},
    {W::Schritt5, "Label6", "Firma:"},
    {W::Schritt5, "Label2",
     "Klicken Sie nachdem Sie alle Angaben gemacht haben auf [Weiter], um fortzufahren oder auf "
     "[Abbrechen], um zu beenden."},
    {W::Schritt5, "Button4", "&Zurück"},
    {W::Schritt5, "Button2", "&Weiter"},
    {W::Schritt5, "Button1", "&Abbrechen"},

    {W::Schritt6, "", "Programmordner."},
    {W::Schritt6, "Label1", "Programmordner auswählen."},
    {W::Schritt6, "Label4", "Bitte wählen Sie einen Programmordner aus."},
    {W::Schritt6, "Image1", ""},
    {W::Schritt6, "Label5",
     "Setup fügt dem unten aufgeführtem Programmordner neue Symbole hinzu. Sie können einen neuen "
     "Ordnernamen eingeben oder einen vorhandenen Ordner aus der Liste auswählen."},
    {W::Schritt6, "Label6", "&Programmunterordner:"},
    {W::Schritt6, "Edit1", ""},
    {W::Schritt6, "ListBox1", ""},
    {W::Schritt6, "CheckBox1", "Keine Verknüpfungen"},
    {W::Schritt6, "Label2", kForwardOrCancel},
    {W::Schritt6, "Button4", "&Zurück"},
    {W::Schritt6, "Button2", "&Weiter"},
    {W::Schritt6, "Button1", "&Abbrechen"},

    {W::Schritt7, "", "Übersicht."},
    {W::Schritt7, "Label1", "Installationsdaten prüfen."},
    {W::Schritt7, "Label4",
     "Bitte überprüfen Sie nochmals die Richtigkeit der Informationen für das Setup."},
    {W::Schritt7, "Image1", ""},
    {W::Schritt7, "Label2", "Installationspfad:"},
    {W::Schritt7, "Label7", "Programmunterordner:"},
    {W::Schritt7, "Label5", "Name:"},
    {W::Schritt7, "Label6", "Firma:"},
    {W::Schritt7, "Label10", ""},
    {W::Schritt7, "Label11", ""},
    {W::Schritt7, "Label8", ""},
    {W::Schritt7, "Label9", ""},
    // What becomes of the installed product, when one is installed.
    {W::Schritt7, "Label13", ""},
    {W::Schritt7, "Label12",
     "Wenn alle Daten korrekt sind, klicken Sie bitte auf [Installieren], um das Setup zu "
     "starten. Klicken Sie auf [Zurück], um die letzten Angaben nochmals aufzunehmen und auf "
     "[Abbrechen], um Setup zu beenden."},
    {W::Schritt7, "Button4", "&Zurück"},
    {W::Schritt7, "Button2", "&Installieren"},
    {W::Schritt7, "Button1", "&Abbrechen"},

    {W::Install, "", "Setup."},
    {W::Install, "Label1", "Setup Status."},
    {W::Install, "Image1", ""},
    {W::Install, "Label12", "%s Setup führt die gewünschten Operationen aus."},
    {W::Install, "Label2", "Setup bereitet die Installation vor..."},
    {W::Install, "Label5", "Initialisierung..."},
    {W::Install, "ProgressBar1", ""},
    {W::Install, "Button1", "&Abbrechen"},

    {W::Ready, "", "Fertig."},
    {W::Ready, "Image1", ""},
    {W::Ready, "Label1", "Die Installation von %s wurde beendet."},
    {W::Ready, "Label2",
     "Sie können das Programm über die entsprechenden Symbole im Programmordner starten."},
    {W::Ready, "Label3", kProductAddress},
    {W::Ready, "Label8", kMakerAddress},
    {W::Ready, "Label9", kSupportAddress},
    {W::Ready, "Image2", ""},
    {W::Ready, "Label4", "Wolden Software, Tessarwolden"},
    {W::Ready, "Button1", "&Beenden"},

    {W::RebootForm, "", "Neustart."},
    {W::RebootForm, "Label1", "Windows-Neustart."},
    {W::RebootForm, "Label4", "Bitte geben Sie an, ob Windows neu gestartet werden soll."},
    {W::RebootForm, "Image1", ""},
    {W::RebootForm, "Label2",
     "Damit das installierte Programm ordnungsgemäß ausgeführt werden kann, muss Windows neu "
     "gestartet werden. Sie können entscheiden, ob das jetzt geschehen soll, oder ob Sie selbst "
     "später neu starten."},
    {W::RebootForm, "Label5", "Soll Windows jetzt neu gestartet werden?"},
    {W::RebootForm, "RadioButton1", "&Ja, Computer jetzt neu starten."},
    {W::RebootForm, "RadioButton2", "&Nein, Computer wird später neu gestartet."},
    {W::RebootForm, "Label6",
     "Klicken Sie auf [Weiter], sobald Sie bereit sind, mit dem Setup fortzufahren."},
    {W::RebootForm, "Button2", "&Weiter"},
    {W::RebootForm, "Button1", "&Abbrechen"},
    {W::PasswordDlg, "", ""},
    {W::PasswordDlg, "Label1", ""},
    {W::PasswordDlg, "Edit1", ""},
    {W::PasswordDlg, "Button1", "OK"},
    {W::PasswordDlg, "Button2", "Abbrechen"},
    {W::Uninstall, "", ""},
    {W::Uninstall, "Label1", "Bitte warten Sie, während die Bestandteile entfernt werden."},
    {W::Uninstall, "Label2", ""},
    {W::Uninstall, "ProgressBar1", ""},
};

}  // namespace

std::span<const DesignText> DesignTexts() {
  return kTexts;
}

namespace {

const DesignText* Find(WindowId window, std::string_view control) {
  for (const DesignText& t : kTexts) {
    if (t.window == window && t.control == control)
      return &t;
  }
  return nullptr;
}

}  // namespace

bool HasControl(WindowId window, std::string_view control) {
  return control.empty() || Find(window, control) != nullptr;
}

void RequireControl(WindowId window, std::string_view control) {
  if (!HasControl(window, control)) {
    throw std::logic_error("Fenster " + std::to_string(static_cast<int>(window)) +
                           " hat kein Steuerelement \"" + std::string(control) + "\"");
  }
}

std::string_view DesignTextOf(WindowId window, std::string_view control) {
  const DesignText* t = Find(window, control);
  return t ? t->text : std::string_view();
}

}  // namespace core
