#pragma once

// Number of the UI language file (Lang_<n>.xml in the program folder);
// start-up sets it from the Language setting before the first lookup.
void SetLanguageNumber(int language);
int GetLanguageNumber();

// The language to run in: wanted when its file is beside the program,
// otherwise the shipped English one (1).
int ChooseLanguageNumber(int wanted);

// The translated text of an English UI text: from the language's file, else
// from the English one (an entry such as the language list the language's
// file lacks), else the text itself. The result stays valid for the
// whole run and may be asked for from any thread.
const wchar_t* GetLangString(const wchar_t* key);
