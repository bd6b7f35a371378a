// Registration of the host platform's components under their ProgIDs, as a
// host application does once at start (tests do it in their set-up, then
// register their own stand-ins over single names where they need to).
#pragma once

namespace orva {

// Registers, replacing what is registered under the same names:
//   OrvaConnection.AppConnection  a connection on the session's database
//   Shelvo.ShareProps             the process-wide property store
//   CorvelBase.SecurityInfo       the session's user
//   VardaGLView.GLData            function rights from t_OrvaAccessRight
//   VardaGLView.GLView            base-data lookups through the current UI
//   Fennic.Dictionary             a keyed parameter set
//   TesmarAssistant.Assistant     the assistant notice through the current UI
//   OrvaHost.Utility              the shared utility object
//   ORVARESLOADER.Loader          text translations (RegisterLanguageComponents)
//   Lexon.LexonLoader             form captions and ledger fonts
void RegisterHostServices();

}  // namespace orva
