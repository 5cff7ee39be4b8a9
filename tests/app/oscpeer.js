// An independent OSC peer for the console tests, on the npm package "osc".
//   node oscpeer.js listen PORT      prints "ready", then one line per message
//                                    received on 127.0.0.1:PORT (bundles
//                                    unpacked): "ADDRESS TYPE VALUE"
//   node oscpeer.js send PORT ADDRESS TYPE VALUE
//                                    sends one message to 127.0.0.1:PORT
// NODE_PATH names the folder that holds the package.
"use strict";
const osc = require("osc");

const [mode, portText, address, type, valueText] = process.argv.slice(2);
const port = Number(portText);

if (mode === "listen") {
    const udp = new osc.UDPPort({ localAddress: "127.0.0.1", localPort: port, metadata: true });
    udp.on("ready", () => console.log("ready"));
    udp.on("message", (message) => {
        const arg = message.args[0] || { type: "-", value: "" };
        console.log(`${message.address} ${arg.type} ${arg.value}`);
    });
    udp.on("error", (error) => console.log(`error ${error.message}`));
    udp.open();
} else if (mode === "send") {
    const udp = new osc.UDPPort({ localAddress: "127.0.0.1", localPort: 0, metadata: true });
    udp.on("ready", () => {
        const value = type === "i" ? parseInt(valueText, 10) : Number(valueText);
        udp.send({ address, args: [{ type, value }] }, "127.0.0.1", port);
        setTimeout(() => udp.close(), 50);
    });
    udp.open();
} else {
    console.error("usage: oscpeer.js listen PORT | send PORT ADDRESS TYPE VALUE");
    process.exit(2);
}
