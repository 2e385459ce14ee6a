#pragma once
// CCmdTarget, the message maps, and CCmdUI.
//
// A message map is a static table per class, walked most-derived first.
// Each entry carries a small "thunk" written by the map macro inside the
// class's own GetThisMessageMap(), so the thunk has the class's access and
// calls the handler with the arguments of the documented signature: a
// handler of the wrong signature does not compile. The dispatcher only
// matches entries (message, code, id range) and calls the thunk.
//
// OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) is the command route's step:
// nCode is CN_COMMAND, CN_UPDATE_COMMAND_UI (pExtra is the CCmdUI), a
// control notification code (WM_COMMAND from a control), or
// MAKELONG(code, WM_NOTIFY) with pExtra an AFX_NOTIFY. The first matching
// entry decides; an _EX handler that returns FALSE lets the route go on.
// With pHandlerInfo set nothing is called: the entry found is reported.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/Types.h"
#include "platform/base/UiRecords.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/ui/User.h"

class CCmdTarget;
class CCmdUI;
class CWnd;
class CDC;
class CMenu;
class CScrollBar;
class CListBox;

#ifndef afx_msg
#define afx_msg
#endif

// What a thunk gets: the message as it arrived and, for commands and
// notifications, the id and code matched and the extra record.
struct AFX_MSGCALL {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT nID = 0;
    UINT nCode = 0;
    void* pExtra = nullptr;
};

// A thunk answers the message's result; for command entries it answers
// whether the command was handled.
typedef LRESULT (*AFX_PMSGTHUNK)(CCmdTarget* self, AFX_MSGCALL& call);

// Entry kinds: what the dispatcher expects of the thunk.
enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_msg,      // a window message; the thunk's value is the result
    AfxSig_cmd,      // a command or control notification; TRUE = handled
    AfxSig_cmdEx,    // the same, but FALSE lets the route go on
    AfxSig_cmdUI,    // an update handler (pExtra: CCmdUI*)
    AfxSig_notify,   // WM_NOTIFY (pExtra: AFX_NOTIFY*); TRUE = handled
    AfxSig_notifyEx, // the same, but FALSE lets the route go on
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;            // WM_*, WM_COMMAND, WM_NOTIFY, WM_REFLECT_BASE + m, or 0xC000 (registered)
    UINT nCode;               // control or notification code, CN_UPDATE_COMMAND_UI
    UINT nID;                 // first control or command id
    UINT nLastID;             // last id (== nID for single ids)
    UINT nSig;                // AfxSig
    AFX_PMSGTHUNK pfn;        // NULL only in the end entry
    const UINT* pnRegistered; // ON_REGISTERED_MESSAGE: the variable holding the number
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg when it is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
    const AFX_MSGMAP_ENTRY* pEntry = nullptr;
};

// pExtra of WM_NOTIFY dispatch.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// lParam of the reflected WM_CTLCOLOR.
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

// The marker nMessage of ON_REGISTERED_MESSAGE entries.
#define AFX_REGISTERED_MESSAGE_MARKER 0xC000

namespace platform {
// Wrappers the map thunks hand to handlers (permanent objects, or temporary
// ones deleted at idle).
CWnd* MsgWnd(HWND hWnd);
CDC* MsgDC(HDC hDC);
CMenu* MsgMenu(HMENU hMenu);
CScrollBar* MsgScrollBar(HWND hWnd);
CListBox* MsgListBox(HWND hWnd);
} // namespace platform

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    ~CCmdTarget() override;

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The wait cursor, counted application-wide.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // The first entry of this object's map chain for a window message (or a
    // registered one), or NULL.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// ---- Map declaration and definition -------------------------------------------------------------

#define DECLARE_MESSAGE_MAP()                                    \
protected:                                                       \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();         \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }      \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap()                                 \
    {                                                                                      \
        using ThisClass [[maybe_unused]] = theClass;                                       \
        using TheBaseClass [[maybe_unused]] = baseClass;                                   \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                  \
            {0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};                                   \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                                \
    }

// ---- Building blocks of the entries ------------------------------------------------------------

#define TW_MSG_SELF static_cast<ThisClass*>(self)
// Calls the handler on the object as ThisClass, with the arguments of the
// documented signature `sig`: a handler taking other arguments does not
// compile. A call (not a member pointer) lets maps name a protected base
// handler by its class, ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint).
#define TW_MSG_CALL(sig, fn) TW_MSG_SELF->fn
#define TW_MSG_THUNK(...) \
    []([[maybe_unused]] CCmdTarget* self, [[maybe_unused]] AFX_MSGCALL& call) -> LRESULT { __VA_ARGS__ }
#define TW_MSG_ENTRY(msg, code, id, last, sig, ...) \
    {(UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(last), (UINT)(sig), TW_MSG_THUNK(__VA_ARGS__), nullptr},

#define TW_PT_LPARAM CPoint(GET_X_LPARAM(call.lParam), GET_Y_LPARAM(call.lParam))

// ---- Commands -----------------------------------------------------------------------------------

#define ON_COMMAND(id, memberFxn) \
    TW_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, AfxSig_cmd, TW_MSG_CALL(void (ThisClass::*)(), memberFxn)(); return TRUE;)
#define ON_COMMAND_EX(id, memberFxn) \
    TW_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, AfxSig_cmdEx, return TW_MSG_CALL(BOOL (ThisClass::*)(UINT), memberFxn)(call.nID);)
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                         \
    TW_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, AfxSig_cmd,                        \
        TW_MSG_CALL(void (ThisClass::*)(UINT), memberFxn)(call.nID); return TRUE;)
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    TW_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, AfxSig_cmdEx, return TW_MSG_CALL(BOOL (ThisClass::*)(UINT), memberFxn)(call.nID);)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                          \
    TW_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, AfxSig_cmdUI,                             \
        TW_MSG_CALL(void (ThisClass::*)(CCmdUI*), memberFxn)(static_cast<CCmdUI*>(call.pExtra)); return TRUE;)
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                            \
    TW_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, AfxSig_cmdUI,                         \
        TW_MSG_CALL(void (ThisClass::*)(CCmdUI*), memberFxn)(static_cast<CCmdUI*>(call.pExtra)); return TRUE;)

// ---- Control notifications (WM_COMMAND with a control) ------------------------------------------

#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    TW_MSG_ENTRY(WM_COMMAND, (WORD)(wNotifyCode), id, id, AfxSig_cmd, TW_MSG_CALL(void (ThisClass::*)(), memberFxn)(); return TRUE;)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                               \
    TW_MSG_ENTRY(WM_COMMAND, (WORD)(wNotifyCode), id, idLast, AfxSig_cmd,                          \
        TW_MSG_CALL(void (ThisClass::*)(UINT), memberFxn)(call.nID); return TRUE;)
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                          \
    TW_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, AfxSig_cmd,               \
        TW_MSG_CALL(void (ThisClass::*)(), memberFxn)(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                       \
    TW_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, AfxSig_cmdEx,             \
        return TW_MSG_CALL(BOOL (ThisClass::*)(), memberFxn)();)

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)

#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_ERRSPACE(id, memberFxn) ON_CONTROL(CBN_ERRSPACE, id, memberFxn)

#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_ERRSPACE(id, memberFxn) ON_CONTROL(LBN_ERRSPACE, id, memberFxn)

#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(EN_HSCROLL, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(EN_VSCROLL, id, memberFxn)
#define ON_EN_ERRSPACE(id, memberFxn) ON_CONTROL(EN_ERRSPACE, id, memberFxn)

#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// ---- WM_NOTIFY ----------------------------------------------------------------------------------

#define TW_NOTIFY_ARGS static_cast<AFX_NOTIFY*>(call.pExtra)->pNMHDR, static_cast<AFX_NOTIFY*>(call.pExtra)->pResult

#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                 \
    TW_MSG_ENTRY(WM_NOTIFY, (WORD)(wNotifyCode), id, id, AfxSig_notify,                       \
        TW_MSG_CALL(void (ThisClass::*)(NMHDR*, LRESULT*), memberFxn)(TW_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                   \
    TW_MSG_ENTRY(WM_NOTIFY, (WORD)(wNotifyCode), id, idLast, AfxSig_notify,                   \
        TW_MSG_CALL(void (ThisClass::*)(UINT, NMHDR*, LRESULT*), memberFxn)(call.nID, TW_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                              \
    TW_MSG_ENTRY(WM_NOTIFY, (WORD)(wNotifyCode), id, id, AfxSig_notifyEx,                     \
        return TW_MSG_CALL(BOOL (ThisClass::*)(UINT, NMHDR*, LRESULT*), memberFxn)(call.nID, TW_NOTIFY_ARGS);)
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                                \
    TW_MSG_ENTRY(WM_NOTIFY, (WORD)(wNotifyCode), id, idLast, AfxSig_notifyEx,                 \
        return TW_MSG_CALL(BOOL (ThisClass::*)(UINT, NMHDR*, LRESULT*), memberFxn)(call.nID, TW_NOTIFY_ARGS);)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                             \
    TW_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (WORD)(wNotifyCode), 0, 0, AfxSig_notify,       \
        TW_MSG_CALL(void (ThisClass::*)(NMHDR*, LRESULT*), memberFxn)(TW_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                          \
    TW_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (WORD)(wNotifyCode), 0, 0, AfxSig_notifyEx,     \
        return TW_MSG_CALL(BOOL (ThisClass::*)(NMHDR*, LRESULT*), memberFxn)(TW_NOTIFY_ARGS);)

// ---- User and registered messages ---------------------------------------------------------------

#define ON_MESSAGE(message, memberFxn) \
    TW_MSG_ENTRY(message, 0, 0, 0, AfxSig_msg, return TW_MSG_CALL(LRESULT (ThisClass::*)(WPARAM, LPARAM), memberFxn)(call.wParam, call.lParam);)
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                               \
    {AFX_REGISTERED_MESSAGE_MARKER, 0, 0, 0, AfxSig_msg,                                                 \
        TW_MSG_THUNK(return TW_MSG_CALL(LRESULT (ThisClass::*)(WPARAM, LPARAM), memberFxn)(call.wParam, call.lParam);), \
        &(nMessageVariable)},

// ---- Window messages ----------------------------------------------------------------------------

#define TW_WM(msg, ...) TW_MSG_ENTRY(msg, 0, 0, 0, AfxSig_msg, __VA_ARGS__)
#define TW_WM_VOID(msg, fn) TW_WM(msg, TW_MSG_CALL(void (ThisClass::*)(), fn)(); return 0;)

#define ON_WM_CREATE() TW_WM(WM_CREATE, return (LRESULT)TW_MSG_CALL(int (ThisClass::*)(LPCREATESTRUCT), OnCreate)((LPCREATESTRUCT)call.lParam);)
#define ON_WM_NCCREATE() TW_WM(WM_NCCREATE, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(LPCREATESTRUCT), OnNcCreate)((LPCREATESTRUCT)call.lParam);)
#define ON_WM_DESTROY() TW_WM_VOID(WM_DESTROY, OnDestroy)
#define ON_WM_NCDESTROY() TW_WM_VOID(WM_NCDESTROY, OnNcDestroy)
#define ON_WM_CLOSE() TW_WM_VOID(WM_CLOSE, OnClose)
#define ON_WM_PAINT() TW_WM_VOID(WM_PAINT, OnPaint)
#define ON_WM_NCPAINT() TW_WM_VOID(WM_NCPAINT, OnNcPaint)
#define ON_WM_ERASEBKGND() \
    TW_WM(WM_ERASEBKGND, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(CDC*), OnEraseBkgnd)(platform::MsgDC((HDC)call.wParam));)
#define ON_WM_ICONERASEBKGND() \
    TW_WM(WM_ICONERASEBKGND, TW_MSG_CALL(void (ThisClass::*)(CDC*), OnIconEraseBkgnd)(platform::MsgDC((HDC)call.wParam)); return 0;)
#define ON_WM_SIZE() \
    TW_WM(WM_SIZE, TW_MSG_CALL(void (ThisClass::*)(UINT, int, int), OnSize)((UINT)call.wParam, (short)LOWORD(call.lParam), (short)HIWORD(call.lParam)); return 0;)
#define ON_WM_SIZING() \
    TW_WM(WM_SIZING, TW_MSG_CALL(void (ThisClass::*)(UINT, LPRECT), OnSizing)((UINT)call.wParam, (LPRECT)call.lParam); return TRUE;)
#define ON_WM_MOVE() \
    TW_WM(WM_MOVE, TW_MSG_CALL(void (ThisClass::*)(int, int), OnMove)((short)LOWORD(call.lParam), (short)HIWORD(call.lParam)); return 0;)
#define ON_WM_MOVING() \
    TW_WM(WM_MOVING, TW_MSG_CALL(void (ThisClass::*)(UINT, LPRECT), OnMoving)((UINT)call.wParam, (LPRECT)call.lParam); return TRUE;)
#define ON_WM_SHOWWINDOW() \
    TW_WM(WM_SHOWWINDOW, TW_MSG_CALL(void (ThisClass::*)(BOOL, UINT), OnShowWindow)((BOOL)call.wParam, (UINT)call.lParam); return 0;)
#define ON_WM_ENABLE() TW_WM(WM_ENABLE, TW_MSG_CALL(void (ThisClass::*)(BOOL), OnEnable)((BOOL)call.wParam); return 0;)
#define ON_WM_ACTIVATE()                                                                                   \
    TW_WM(WM_ACTIVATE, TW_MSG_CALL(void (ThisClass::*)(UINT, CWnd*, BOOL), OnActivate)(LOWORD(call.wParam), \
        platform::MsgWnd((HWND)call.lParam), (BOOL)HIWORD(call.wParam)); return 0;)
#define ON_WM_ACTIVATEAPP() \
    TW_WM(WM_ACTIVATEAPP, TW_MSG_CALL(void (ThisClass::*)(BOOL, DWORD), OnActivateApp)((BOOL)call.wParam, (DWORD)call.lParam); return 0;)
#define ON_WM_NCACTIVATE() TW_WM(WM_NCACTIVATE, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(BOOL), OnNcActivate)((BOOL)call.wParam);)
#define ON_WM_CHILDACTIVATE() TW_WM_VOID(WM_CHILDACTIVATE, OnChildActivate)
#define ON_WM_MDIACTIVATE()                                                                                    \
    TW_WM(WM_MDIACTIVATE, TW_MSG_CALL(void (ThisClass::*)(BOOL, CWnd*, CWnd*), OnMDIActivate)(                   \
        platform::MdiActivating(self, call), platform::MsgWnd((HWND)call.lParam), platform::MsgWnd((HWND)call.wParam)); return 0;)
#define ON_WM_SETFOCUS() TW_WM(WM_SETFOCUS, TW_MSG_CALL(void (ThisClass::*)(CWnd*), OnSetFocus)(platform::MsgWnd((HWND)call.wParam)); return 0;)
#define ON_WM_KILLFOCUS() TW_WM(WM_KILLFOCUS, TW_MSG_CALL(void (ThisClass::*)(CWnd*), OnKillFocus)(platform::MsgWnd((HWND)call.wParam)); return 0;)

#define TW_WM_KEY(msg, fn) \
    TW_WM(msg, TW_MSG_CALL(void (ThisClass::*)(UINT, UINT, UINT), fn)((UINT)call.wParam, LOWORD(call.lParam), HIWORD(call.lParam)); return 0;)
#define ON_WM_KEYDOWN() TW_WM_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() TW_WM_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() TW_WM_KEY(WM_CHAR, OnChar)
#define ON_WM_DEADCHAR() TW_WM_KEY(WM_DEADCHAR, OnDeadChar)
#define ON_WM_SYSKEYDOWN() TW_WM_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() TW_WM_KEY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() TW_WM_KEY(WM_SYSCHAR, OnSysChar)
#define ON_WM_SYSCOMMAND() \
    TW_WM(WM_SYSCOMMAND, TW_MSG_CALL(void (ThisClass::*)(UINT, LPARAM), OnSysCommand)((UINT)call.wParam, call.lParam); return 0;)

#define TW_WM_MOUSE(msg, fn) TW_WM(msg, TW_MSG_CALL(void (ThisClass::*)(UINT, CPoint), fn)((UINT)call.wParam, TW_PT_LPARAM); return 0;)
#define ON_WM_LBUTTONDOWN() TW_WM_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() TW_WM_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() TW_WM_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() TW_WM_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() TW_WM_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() TW_WM_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() TW_WM_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() TW_WM_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() TW_WM_MOUSE(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_MOUSEMOVE() TW_WM_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                                 \
    TW_WM(WM_MOUSEWHEEL, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(UINT, short, CPoint), OnMouseWheel)( \
        LOWORD(call.wParam), (short)HIWORD(call.wParam), TW_PT_LPARAM);)
#define ON_WM_MOUSEACTIVATE()                                                                                    \
    TW_WM(WM_MOUSEACTIVATE, return (LRESULT)TW_MSG_CALL(int (ThisClass::*)(CWnd*, UINT, UINT), OnMouseActivate)( \
        platform::MsgWnd((HWND)call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));)
#define ON_WM_SETCURSOR()                                                                                    \
    TW_WM(WM_SETCURSOR, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(CWnd*, UINT, UINT), OnSetCursor)(  \
        platform::MsgWnd((HWND)call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));)
#define ON_WM_NCHITTEST() TW_WM(WM_NCHITTEST, return (LRESULT)TW_MSG_CALL(LRESULT (ThisClass::*)(CPoint), OnNcHitTest)(TW_PT_LPARAM);)
#define TW_WM_NCMOUSE(msg, fn) TW_WM(msg, TW_MSG_CALL(void (ThisClass::*)(UINT, CPoint), fn)((UINT)call.wParam, TW_PT_LPARAM); return 0;)
#define ON_WM_NCLBUTTONDOWN() TW_WM_NCMOUSE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() TW_WM_NCMOUSE(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() TW_WM_NCMOUSE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() TW_WM_NCMOUSE(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_NCRBUTTONUP() TW_WM_NCMOUSE(WM_NCRBUTTONUP, OnNcRButtonUp)
#define ON_WM_NCMBUTTONDOWN() TW_WM_NCMOUSE(WM_NCMBUTTONDOWN, OnNcMButtonDown)
#define ON_WM_NCMOUSEMOVE() TW_WM_NCMOUSE(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCCALCSIZE()                                                                                          \
    TW_WM(WM_NCCALCSIZE, TW_MSG_CALL(void (ThisClass::*)(BOOL, NCCALCSIZE_PARAMS*), OnNcCalcSize)((BOOL)call.wParam, \
        (NCCALCSIZE_PARAMS*)call.lParam); return 0;)

#define ON_WM_TIMER() TW_WM(WM_TIMER, TW_MSG_CALL(void (ThisClass::*)(UINT_PTR), OnTimer)((UINT_PTR)call.wParam); return 0;)
#define TW_WM_SCROLL(msg, fn)                                                                              \
    TW_WM(msg, TW_MSG_CALL(void (ThisClass::*)(UINT, UINT, CScrollBar*), fn)(LOWORD(call.wParam),           \
        (UINT)(short)HIWORD(call.wParam), platform::MsgScrollBar((HWND)call.lParam)); return 0;)
#define ON_WM_HSCROLL() TW_WM_SCROLL(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() TW_WM_SCROLL(WM_VSCROLL, OnVScroll)

// ON_WM_CTLCOLOR answers every WM_CTLCOLOR* message; nCtlColor says which.
#define ON_WM_CTLCOLOR()                                                                                            \
    TW_WM(WM_CTLCOLOR, return (LRESULT)TW_MSG_CALL(HBRUSH (ThisClass::*)(CDC*, CWnd*, UINT), OnCtlColor)(           \
        platform::MsgDC((HDC)call.wParam), platform::MsgWnd((HWND)call.lParam), platform::CtlColorType(call.message));)
#define ON_WM_DRAWITEM() \
    TW_WM(WM_DRAWITEM, TW_MSG_CALL(void (ThisClass::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)((int)call.wParam, (LPDRAWITEMSTRUCT)call.lParam); return TRUE;)
#define ON_WM_MEASUREITEM()                                                                                      \
    TW_WM(WM_MEASUREITEM, TW_MSG_CALL(void (ThisClass::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem)((int)call.wParam, \
        (LPMEASUREITEMSTRUCT)call.lParam); return TRUE;)
#define ON_WM_COMPAREITEM()                                                                                            \
    TW_WM(WM_COMPAREITEM, return (LRESULT)TW_MSG_CALL(int (ThisClass::*)(int, LPCOMPAREITEMSTRUCT), OnCompareItem)((int)call.wParam, \
        (LPCOMPAREITEMSTRUCT)call.lParam);)
#define ON_WM_DELETEITEM()                                                                                     \
    TW_WM(WM_DELETEITEM, TW_MSG_CALL(void (ThisClass::*)(int, LPDELETEITEMSTRUCT), OnDeleteItem)((int)call.wParam, \
        (LPDELETEITEMSTRUCT)call.lParam); return TRUE;)
#define ON_WM_VKEYTOITEM()                                                                                          \
    TW_WM(WM_VKEYTOITEM, return (LRESULT)TW_MSG_CALL(int (ThisClass::*)(UINT, CListBox*, UINT), OnVKeyToItem)(      \
        LOWORD(call.wParam), platform::MsgListBox((HWND)call.lParam), HIWORD(call.wParam));)
#define ON_WM_CHARTOITEM()                                                                                          \
    TW_WM(WM_CHARTOITEM, return (LRESULT)TW_MSG_CALL(int (ThisClass::*)(UINT, CListBox*, UINT), OnCharToItem)(      \
        LOWORD(call.wParam), platform::MsgListBox((HWND)call.lParam), HIWORD(call.wParam));)
#define ON_WM_PARENTNOTIFY() \
    TW_WM(WM_PARENTNOTIFY, TW_MSG_CALL(void (ThisClass::*)(UINT, LPARAM), OnParentNotify)((UINT)call.wParam, call.lParam); return 0;)

#define ON_WM_INITMENU() TW_WM(WM_INITMENU, TW_MSG_CALL(void (ThisClass::*)(CMenu*), OnInitMenu)(platform::MsgMenu((HMENU)call.wParam)); return 0;)
#define ON_WM_INITMENUPOPUP()                                                                                      \
    TW_WM(WM_INITMENUPOPUP, TW_MSG_CALL(void (ThisClass::*)(CMenu*, UINT, BOOL), OnInitMenuPopup)(                 \
        platform::MsgMenu((HMENU)call.wParam), LOWORD(call.lParam), (BOOL)HIWORD(call.lParam)); return 0;)
#define ON_WM_MENUSELECT()                                                                                          \
    TW_WM(WM_MENUSELECT, TW_MSG_CALL(void (ThisClass::*)(UINT, UINT, HMENU), OnMenuSelect)(LOWORD(call.wParam),     \
        HIWORD(call.wParam), (HMENU)call.lParam); return 0;)
#define ON_WM_MENUCHAR()                                                                                           \
    TW_WM(WM_MENUCHAR, return TW_MSG_CALL(LRESULT (ThisClass::*)(UINT, UINT, CMenu*), OnMenuChar)(LOWORD(call.wParam), \
        HIWORD(call.wParam), platform::MsgMenu((HMENU)call.lParam));)
#define ON_WM_ENTERMENULOOP() \
    TW_WM(WM_ENTERMENULOOP, TW_MSG_CALL(void (ThisClass::*)(BOOL), OnEnterMenuLoop)((BOOL)call.wParam); return 0;)
#define ON_WM_EXITMENULOOP() \
    TW_WM(WM_EXITMENULOOP, TW_MSG_CALL(void (ThisClass::*)(BOOL), OnExitMenuLoop)((BOOL)call.wParam); return 0;)
#define ON_WM_ENTERIDLE() \
    TW_WM(WM_ENTERIDLE, TW_MSG_CALL(void (ThisClass::*)(UINT, CWnd*), OnEnterIdle)((UINT)call.wParam, platform::MsgWnd((HWND)call.lParam)); return 0;)

#define ON_WM_GETMINMAXINFO() \
    TW_WM(WM_GETMINMAXINFO, TW_MSG_CALL(void (ThisClass::*)(MINMAXINFO*), OnGetMinMaxInfo)((MINMAXINFO*)call.lParam); return 0;)
#define ON_WM_WINDOWPOSCHANGING() \
    TW_WM(WM_WINDOWPOSCHANGING, TW_MSG_CALL(void (ThisClass::*)(WINDOWPOS*), OnWindowPosChanging)((WINDOWPOS*)call.lParam); return 0;)
#define ON_WM_WINDOWPOSCHANGED() \
    TW_WM(WM_WINDOWPOSCHANGED, TW_MSG_CALL(void (ThisClass::*)(WINDOWPOS*), OnWindowPosChanged)((WINDOWPOS*)call.lParam); return 0;)
#define ON_WM_STYLECHANGED() \
    TW_WM(WM_STYLECHANGED, TW_MSG_CALL(void (ThisClass::*)(int, LPSTYLESTRUCT), OnStyleChanged)((int)call.wParam, (LPSTYLESTRUCT)call.lParam); return 0;)
#define ON_WM_STYLECHANGING() \
    TW_WM(WM_STYLECHANGING, TW_MSG_CALL(void (ThisClass::*)(int, LPSTYLESTRUCT), OnStyleChanging)((int)call.wParam, (LPSTYLESTRUCT)call.lParam); return 0;)
#define ON_WM_GETDLGCODE() TW_WM(WM_GETDLGCODE, return (LRESULT)TW_MSG_CALL(UINT (ThisClass::*)(), OnGetDlgCode)();)

#define ON_WM_QUERYNEWPALETTE() TW_WM(WM_QUERYNEWPALETTE, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(), OnQueryNewPalette)();)
#define ON_WM_PALETTECHANGED() \
    TW_WM(WM_PALETTECHANGED, TW_MSG_CALL(void (ThisClass::*)(CWnd*), OnPaletteChanged)(platform::MsgWnd((HWND)call.wParam)); return 0;)
#define ON_WM_PALETTEISCHANGING() \
    TW_WM(WM_PALETTEISCHANGING, TW_MSG_CALL(void (ThisClass::*)(CWnd*), OnPaletteIsChanging)(platform::MsgWnd((HWND)call.wParam)); return 0;)
#define ON_WM_SYSCOLORCHANGE() TW_WM_VOID(WM_SYSCOLORCHANGE, OnSysColorChange)
#define ON_WM_WININICHANGE() \
    TW_WM(WM_WININICHANGE, TW_MSG_CALL(void (ThisClass::*)(LPCTSTR), OnWinIniChange)((LPCTSTR)call.lParam); return 0;)
#define ON_WM_SETTINGCHANGE() \
    TW_WM(WM_SETTINGCHANGE, TW_MSG_CALL(void (ThisClass::*)(UINT, LPCTSTR), OnSettingChange)((UINT)call.wParam, (LPCTSTR)call.lParam); return 0;)
#define ON_WM_FONTCHANGE() TW_WM_VOID(WM_FONTCHANGE, OnFontChange)
#define ON_WM_TIMECHANGE() TW_WM_VOID(WM_TIMECHANGE, OnTimeChange)
#define ON_WM_QUERYENDSESSION() TW_WM(WM_QUERYENDSESSION, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(), OnQueryEndSession)();)
#define ON_WM_ENDSESSION() TW_WM(WM_ENDSESSION, TW_MSG_CALL(void (ThisClass::*)(BOOL), OnEndSession)((BOOL)call.wParam); return 0;)
#define ON_WM_QUERYOPEN() TW_WM(WM_QUERYOPEN, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(), OnQueryOpen)();)
#define ON_WM_QUERYDRAGICON() TW_WM(WM_QUERYDRAGICON, return (LRESULT)TW_MSG_CALL(HCURSOR (ThisClass::*)(), OnQueryDragIcon)();)
#define ON_WM_DROPFILES() TW_WM(WM_DROPFILES, TW_MSG_CALL(void (ThisClass::*)(HDROP), OnDropFiles)((HDROP)call.wParam); return 0;)
#define ON_WM_CONTEXTMENU() \
    TW_WM(WM_CONTEXTMENU, TW_MSG_CALL(void (ThisClass::*)(CWnd*, CPoint), OnContextMenu)(platform::MsgWnd((HWND)call.wParam), TW_PT_LPARAM); return 0;)
#define ON_WM_CANCELMODE() TW_WM_VOID(WM_CANCELMODE, OnCancelMode)
#define ON_WM_CAPTURECHANGED() \
    TW_WM(WM_CAPTURECHANGED, TW_MSG_CALL(void (ThisClass::*)(CWnd*), OnCaptureChanged)(platform::MsgWnd((HWND)call.lParam)); return 0;)
#define ON_WM_HELPINFO() TW_WM(WM_HELP, return (LRESULT)TW_MSG_CALL(BOOL (ThisClass::*)(HELPINFO*), OnHelpInfo)((HELPINFO*)call.lParam);)
#define ON_WM_RENDERFORMAT() TW_WM(WM_RENDERFORMAT, TW_MSG_CALL(void (ThisClass::*)(UINT), OnRenderFormat)((UINT)call.wParam); return 0;)
#define ON_WM_RENDERALLFORMATS() TW_WM_VOID(WM_RENDERALLFORMATS, OnRenderAllFormats)
#define ON_WM_DESTROYCLIPBOARD() TW_WM_VOID(WM_DESTROYCLIPBOARD, OnDestroyClipboard)
#define ON_WM_DRAWCLIPBOARD() TW_WM_VOID(WM_DRAWCLIPBOARD, OnDrawClipboard)
#define ON_WM_CHANGECBCHAIN() \
    TW_WM(WM_CHANGECBCHAIN, TW_MSG_CALL(void (ThisClass::*)(HWND, HWND), OnChangeCbChain)((HWND)call.wParam, (HWND)call.lParam); return 0;)

// ---- Messages reflected to the control that sent them -----------------------------------------

#define ON_WM_CTLCOLOR_REFLECT()                                                                          \
    TW_WM(WM_REFLECT_BASE + WM_CTLCOLOR, return (LRESULT)TW_MSG_CALL(HBRUSH (ThisClass::*)(CDC*, UINT), CtlColor)( \
        platform::MsgDC(((AFX_CTLCOLOR*)call.lParam)->hDC), ((AFX_CTLCOLOR*)call.lParam)->nCtlType);)
#define ON_WM_DRAWITEM_REFLECT() \
    TW_WM(WM_REFLECT_BASE + WM_DRAWITEM, TW_MSG_CALL(void (ThisClass::*)(LPDRAWITEMSTRUCT), DrawItem)((LPDRAWITEMSTRUCT)call.lParam); return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT()                                                                            \
    TW_WM(WM_REFLECT_BASE + WM_MEASUREITEM, TW_MSG_CALL(void (ThisClass::*)(LPMEASUREITEMSTRUCT), MeasureItem)(  \
        (LPMEASUREITEMSTRUCT)call.lParam); return TRUE;)
#define ON_WM_COMPAREITEM_REFLECT()                                                                                  \
    TW_WM(WM_REFLECT_BASE + WM_COMPAREITEM, return (LRESULT)TW_MSG_CALL(int (ThisClass::*)(LPCOMPAREITEMSTRUCT), CompareItem)( \
        (LPCOMPAREITEMSTRUCT)call.lParam);)
#define ON_WM_DELETEITEM_REFLECT()                                                                          \
    TW_WM(WM_REFLECT_BASE + WM_DELETEITEM, TW_MSG_CALL(void (ThisClass::*)(LPDELETEITEMSTRUCT), DeleteItem)( \
        (LPDELETEITEMSTRUCT)call.lParam); return TRUE;)
#define ON_WM_HSCROLL_REFLECT()                                                                            \
    TW_WM(WM_REFLECT_BASE + WM_HSCROLL, TW_MSG_CALL(void (ThisClass::*)(UINT, UINT), HScroll)(LOWORD(call.wParam), \
        (UINT)(short)HIWORD(call.wParam)); return 0;)
#define ON_WM_VSCROLL_REFLECT()                                                                            \
    TW_WM(WM_REFLECT_BASE + WM_VSCROLL, TW_MSG_CALL(void (ThisClass::*)(UINT, UINT), VScroll)(LOWORD(call.wParam), \
        (UINT)(short)HIWORD(call.wParam)); return 0;)
#define ON_WM_PARENTNOTIFY_REFLECT()                                                                        \
    TW_WM(WM_REFLECT_BASE + WM_PARENTNOTIFY, TW_MSG_CALL(void (ThisClass::*)(UINT, LPARAM), ParentNotify)( \
        (UINT)call.wParam, call.lParam); return 0;)

namespace platform {
// WM_CTLCOLOR* message -> CTLCOLOR_* (for ON_WM_CTLCOLOR).
UINT CtlColorType(UINT message);
// WM_MDIACTIVATE: TRUE when the window receiving it is being activated.
BOOL MdiActivating(CCmdTarget* self, const AFX_MSGCALL& call);
} // namespace platform

// ---- CCmdUI -----------------------------------------------------------------------------------

// The state of one user-interface item (a menu item, a toolbar button, a
// status pane, a dialog-bar control) that an ON_UPDATE_COMMAND_UI handler
// sets. The base class applies it to a menu item (m_pMenu, m_nIndex) or a
// window (m_pOther); control bars derive their own.
class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;       // the popup holding the item, or NULL
    CMenu* m_pSubMenu = nullptr;    // the item's own popup when it is one
    CMenu* m_pParentMenu = nullptr; // the menu bar when m_pMenu is a top-level popup
    CWnd* m_pOther = nullptr;       // the control, when the item is not a menu item
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1); // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);

    // Inside an update handler: let the next target on the route answer too.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Routes CN_UPDATE_COMMAND_UI to pTarget. With bDisableIfNoHndler, an
    // item nobody enabled is disabled when no command handler exists for it.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
