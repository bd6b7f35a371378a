SELECT Distinct t1.FItemID,t1.FNumber FROM t_Organization t1 
WHERE 1=1 AND (EXISTS (SELECT 1 FROM t_CustEntry u1 INNER JOIN t_ICItem v1 ON u1.FItemID=v1.FItemID INNER JOIN t_MeasureUnit t2 ON u1.FUnitID=t2.FItemID INNER JOIN t_Currency t3 ON u1.FCyID=t3.FCurrencyID WHERE u1.FCustID=t1.FItemID AND v1.FErpClsID not in (6,8) AND ((ISNULL(u1.FNote,'') LIKE '%价%' ESCAPE '!'))))
 ORDER BY t1.FNumber