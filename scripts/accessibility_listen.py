import pyatspi, sys
log = open(sys.argv[1], "w", buffering=1)
def on(event):
    try:
        src = event.source
        if event.type.startswith("object:state-changed:focused") and event.detail1 != 1:
            return
        log.write(f"{event.type} [{src.getRoleName()}] '{src.name}'" + (f" desc='{src.description}'" if src.description else "") + "\n")
    except Exception as e:
        log.write(f"err {e}\n")
pyatspi.Registry.registerEventListener(on, "object:state-changed:focused", "object:property-change:accessible-name", "window:activate", "object:value-changed")
pyatspi.Registry.start()
